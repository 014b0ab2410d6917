// The Windows side of the core's ports, through the wide entry points.
#pragma once

#include <string>

#include "platform/ports.h"
#include "platform/win32/music_share.h"

namespace qb {

class Win32FileSystem : public FileSystem {
 public:
  bool CanOpenForReading(const std::u16string& path) override;
  ReadResult ReadWhole(const std::u16string& path, std::string& content) override;
  bool ReplaceWhole(const std::u16string& path, const std::string& content) override;
  bool MakeFolder(const std::u16string& path) override;
  std::optional<std::u16string> ShortPath(const std::u16string& path) override;
};

class Win32FileSteps : public FileSteps {
 public:
  std::optional<std::u16string> WriteNewFile(const std::u16string& folder, const std::string& content) override;
  std::optional<std::u16string> MakeBackupFile(const std::u16string& folder) override;
  std::vector<std::u16string> Backups(const std::u16string& folder) override;
  uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                   const std::u16string& backup) override;
  bool Move(const std::u16string& from, const std::u16string& to) override;
  bool Delete(const std::u16string& path) override;
  bool Copy(const std::u16string& from, const std::u16string& to) override;
  bool Exists(const std::u16string& path) override;
};

class Win32Codec : public Cp932Codec {
 public:
  std::u16string ToUtf16(std::string_view cp932) override;
  std::optional<std::string> FromUtf16(std::u16string_view text) override;
};

class Win32Desktop : public Desktop {
 public:
  // A program started here is given `share`'s block, when it has one.
  explicit Win32Desktop(const Win32MusicShare* share = nullptr) : share_(share) {}
  bool WindowExists(const char* title) override;
  int32_t ShowCursor(int32_t show) override;
  void ShowMessage(const char* caption, const char* text) override;
  std::unique_ptr<ChildProcess> StartProgram(const std::u16string& path) override;
  void EndProcess() override;

 private:
  const Win32MusicShare* share_;
};

class Win32Mci : public MciPort {
 public:
  uint32_t SendString(const std::u16string& command, char* reply, uint32_t capacity) override;
  bool GetErrorString(uint32_t code, char* buffer, uint32_t capacity) override;
};

class Win32Sound : public SoundPort {
 public:
  int32_t WaveOutDeviceCount() override;
  int32_t Play(const char16_t* name, uint32_t flags) override;
};

// The folder of the running executable, without a trailing backslash except
// at a drive root ("C:\").
std::u16string ProgramFolder();

// The user's own settings folder (%LOCALAPPDATA%\Quillbright), or empty
// when the system names no local application data folder.
std::u16string UserSettingsFolder();

// The process's command line after the executable's name, in code page
// 932 (the arguments the program reads are ASCII).
std::string ProcessArgumentString();

}  // namespace qb
