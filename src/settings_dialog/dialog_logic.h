// The settings dialog's music controls without their windows: the choice of
// music kind, the stored settings shown at load, the file chooser's request
// and answer, the save, and the link label's click.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports.h"
#include "settings/settings_file.h"
#include "settings/settings_values.h"

namespace qb {

// The number format "##": 0 is the empty text, any other value its decimal
// digits (with a minus sign when negative).
std::string RepeatText(int32_t value);

// The repeat box's text as saved: a number rounded half to even (2.5 gives
// 2, 3.5 gives 4); 0 for empty text, for text that is not a number, and for
// a number outside 16 bits, so that the save always writes all three keys.
int16_t RepeatTrackFromText(std::string_view text);

// The repeat box's list: the empty text, then 1 to 30.
inline constexpr int kRepeatEntryCount = 31;

// What the dialog window shows for the music controls.
class MusicControls {
 public:
  virtual ~MusicControls() = default;
  // Img_BGM(kind) shows the selected or the unselected mark.
  virtual void ShowMark(int16_t kind, bool selected) = 0;
  virtual void EnableRepeat(bool enabled) = 0;
  virtual void EnableFileButton(bool enabled) = 0;
  virtual void SetRepeatText(const std::string& text) = 0;
  virtual void AddRepeatEntry(const std::string& text) = 0;
  virtual std::string ReadRepeatText() = 0;
  virtual void SetFileLabel(const std::u16string& path) = 0;
  // Says that the chosen file's name cannot be kept in the settings file.
  virtual void SayNameCannotBeKept() = 0;
};

// The platform's file-open dialog. Owner window and instance are the
// window side's business.
struct OpenFileRequest {
  std::string filter;  // description, NUL, pattern, NUL, NUL (size() counts them all)
  std::u16string initialFolder;
  std::string title;   // filter and title: code page 932
  uint32_t fileBufferSize = 0;
  uint32_t fileTitleBufferSize = 0;
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The file-name buffer up to its first NUL when a file was chosen;
  // nothing when the user cancelled or the platform failed.
  virtual std::optional<std::u16string> Choose(const OpenFileRequest& request) = 0;
};

// The request the "..." button makes, starting in `musicFolder`.
OpenFileRequest MusicFileRequest(const std::u16string& musicFolder);

class MusicChoice {
 public:
  MusicChoice(SettingsValues& settings, MusicControls& controls)
      : settings_(settings), controls_(controls) {}

  // At load: the marks, enabled states, repeat text and list, file path.
  void ShowStoredSettings();
  // A press of any mouse button on a mark or its label.
  void SelectMusicKind(int16_t kind);
  // The "..." button: the last file chosen wins; a cancel, or a name that
  // is no file that can be read, changes nothing. The settings file keeps
  // paths in code page 932, at most 255 bytes of one: a path it cannot
  // hold is kept as its short form, and without one the user hears that
  // the name cannot be kept.
  void ChooseFile(FileChooser& chooser, FileSystem& files, Cp932Codec& codec);
  // The save button: the three keys into the settings file in use (see
  // SaveSettings). False when they could not be written anywhere; the
  // choices on screen stay as they are, so the user can try again.
  bool Save(FileSystem& files, Cp932Codec& codec, const SettingsPlaces& places);

 private:
  void ShowMarks(int16_t kind);

  SettingsValues& settings_;
  MusicControls& controls_;
  bool musicFileChanged_ = false;
  std::string chosenFile_;  // code page 932 form of the file chosen
};

// The link label's click: the hourglass while the shell opens the address.
class LinkShell {
 public:
  virtual ~LinkShell() = default;
  virtual void ShowWaitPointer(bool wait) = 0;
  virtual void Open(const std::string& address) = 0;
};
void OpenLink(LinkShell& shell, const std::string& address);

}  // namespace qb
