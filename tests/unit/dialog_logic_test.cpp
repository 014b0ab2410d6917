#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "platform/texts.h"
#include "settings_dialog/dialog_logic.h"

namespace qb {
namespace {

using test::FakeFileSystem;

// The controls' state as the window would show it, and every call in order.
class FakeControls : public MusicControls {
 public:
  int selectedMark = -1;
  int marksShown = 0;
  bool repeatEnabled = true;
  bool fileButtonEnabled = true;
  std::string repeatText = "unset";
  std::vector<std::string> repeatList;
  std::string fileLabel = "unset";
  std::vector<std::string> calls;

  void ShowMark(int16_t kind, bool selected) override {
    ++marksShown;
    if (selected) {
      selectedMark = kind;
    } else if (selectedMark == kind) {
      selectedMark = -1;
    }
    calls.push_back("mark " + std::to_string(kind) + (selected ? " on" : " off"));
  }
  void EnableRepeat(bool enabled) override {
    repeatEnabled = enabled;
    calls.push_back(std::string("repeat ") + (enabled ? "on" : "off"));
  }
  void EnableFileButton(bool enabled) override {
    fileButtonEnabled = enabled;
    calls.push_back(std::string("file ") + (enabled ? "on" : "off"));
  }
  void SetRepeatText(const std::string& text) override { repeatText = text; }
  void AddRepeatEntry(const std::string& text) override { repeatList.push_back(text); }
  std::string ReadRepeatText() override { return repeatText; }
  void SetFileLabel(const std::string& text) override { fileLabel = text; }
};

class FakeChooser : public FileChooser {
 public:
  std::vector<std::optional<std::string>> answers;
  std::vector<OpenFileRequest> requests;

  std::optional<std::string> Choose(const OpenFileRequest& request) override {
    requests.push_back(request);
    auto answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
};

const std::string kFolder = "C:\\Saver";
const SettingsPlaces kPlaces{kFolder, ""};
const std::string kIni = "C:\\Saver\\Quillbright.ini";

// The settings file as the save writes it.
std::string Saved(const std::string& kind, const std::string& repeat, const std::string& file) {
  return std::string("[Section]\r\n") + texts::kKeyMusicKind + "=" + kind + "\r\n" + texts::kKeyRepeatTrack + "=" +
         repeat + "\r\n" + texts::kKeyMusicFile + "=" + file + "\r\n";
}

TEST(DialogTexts, ShiftJisBytes) {
  EXPECT_STREQ(texts::kCaptionSave, "\x90\xdd\x92\xe8");
  EXPECT_STREQ(texts::kCaptionCancel, "\xb7\xac\xdd\xbe\xd9");
  EXPECT_STREQ(texts::kLabelNoMusic, "\x82\xc8\x82\xb5");
  EXPECT_EQ(std::string(texts::kLabelAudioCd), std::string("\x89\xb9\x8a\x79\x43\x44"));
  EXPECT_EQ(std::string(texts::kLabelMusicFile), std::string("\x4d\x50\x33\x81\x41\x57\x41\x56"));
  EXPECT_EQ(std::string(texts::kLabelRepeat),
            std::string("\x8b\xc8\x96\xda\x82\xf0\xd8\xcb\xdf\xb0\xc4"));
  EXPECT_EQ(std::string(texts::kFileChooserTitle),
            std::string("\xcc\xa7\xb2\xd9\x82\xf0\x8a\x4a\x82\xad"));
}

TEST(DialogRepeatText, FormatHashHash) {
  EXPECT_EQ(RepeatText(0), "");
  EXPECT_EQ(RepeatText(7), "7");
  EXPECT_EQ(RepeatText(123), "123");
  EXPECT_EQ(RepeatText(-3), "-3");
}

TEST(DialogRepeatText, SavedValues) {
  EXPECT_EQ(RepeatTrackFromText(""), 0);
  EXPECT_EQ(RepeatTrackFromText("12"), 12);
  EXPECT_EQ(RepeatTrackFromText("2.5"), 2);
  EXPECT_EQ(RepeatTrackFromText("3.5"), 4);
  EXPECT_EQ(RepeatTrackFromText("abc"), 0);
  EXPECT_EQ(RepeatTrackFromText(" 7 "), 7);
  EXPECT_EQ(RepeatTrackFromText("-32768"), -32768);
  EXPECT_EQ(RepeatTrackFromText("32767"), 32767);
  EXPECT_EQ(RepeatTrackFromText("32767.5"), 0);  // rounds to 32768
  EXPECT_EQ(RepeatTrackFromText("40000"), 0);
  EXPECT_EQ(RepeatTrackFromText("-1e9"), 0);
  EXPECT_EQ(RepeatTrackFromText("1e400"), 0);
}

struct KindCase {
  int16_t kind;
  int selectedMark;
  bool repeat;
  bool fileButton;
};

class DialogShowStored : public ::testing::TestWithParam<KindCase> {};

TEST_P(DialogShowStored, MarksAndEnabledStates) {
  const KindCase c = GetParam();
  SettingsValues settings;
  settings.MusicKind = c.kind;
  settings.RepeatTrack = 5;
  settings.MusicFile = "C:\\Music\\a.mp3";
  FakeControls controls;
  MusicChoice(settings, controls).ShowStoredSettings();
  EXPECT_EQ(controls.selectedMark, c.selectedMark);
  EXPECT_EQ(controls.marksShown, c.selectedMark < 0 ? 3 : 4);
  EXPECT_EQ(controls.repeatEnabled, c.repeat);
  EXPECT_EQ(controls.fileButtonEnabled, c.fileButton);
  EXPECT_EQ(controls.repeatText, "5");  // shown whether enabled or not
  EXPECT_EQ(controls.fileLabel, "C:\\Music\\a.mp3");
  EXPECT_EQ(settings.MusicKind, c.kind);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DialogShowStored,
                         ::testing::Values(KindCase{0, 0, false, false},
                                           KindCase{1, 1, true, false},
                                           KindCase{2, 2, false, true},
                                           KindCase{7, -1, false, false}));

TEST(DialogShowStoredList, ThirtyOneEntriesAndTheStoredText) {
  SettingsValues settings;
  FakeControls controls;
  MusicChoice(settings, controls).ShowStoredSettings();
  ASSERT_EQ(controls.repeatList.size(), 31u);
  EXPECT_EQ(controls.repeatList.front(), "");
  EXPECT_EQ(controls.repeatList[1], "1");
  EXPECT_EQ(controls.repeatList.back(), "30");
  EXPECT_EQ(controls.repeatText, "");  // 0 shows as an empty box
  EXPECT_EQ(controls.fileLabel, "");
}

TEST(DialogSelectKind, EachChoiceEnablesItsOwnControl) {
  SettingsValues settings;
  settings.MusicKind = 7;
  FakeControls controls;
  MusicChoice choice(settings, controls);
  choice.ShowStoredSettings();
  for (KindCase c : {KindCase{1, 1, true, false}, KindCase{2, 2, false, true},
                     KindCase{0, 0, false, false}, KindCase{1, 1, true, false}}) {
    controls.calls.clear();
    choice.SelectMusicKind(c.kind);
    EXPECT_EQ(settings.MusicKind, c.kind);
    EXPECT_EQ(controls.selectedMark, c.selectedMark);
    EXPECT_EQ(controls.repeatEnabled, c.repeat);
    EXPECT_EQ(controls.fileButtonEnabled, c.fileButton);
    // Both disabled first, then every mark cleared before the chosen one.
    ASSERT_GE(controls.calls.size(), 6u);
    EXPECT_EQ(controls.calls[0], "file off");
    EXPECT_EQ(controls.calls[1], "repeat off");
    EXPECT_EQ(controls.calls[5], "mark " + std::to_string(c.kind) + " on");
  }
}

TEST(DialogSelectKind, LeavesRepeatTextAndFileAlone) {
  SettingsValues settings;
  settings.MusicKind = 2;
  settings.RepeatTrack = 4;
  settings.MusicFile = "C:\\Music\\a.mp3";
  FakeControls controls;
  MusicChoice choice(settings, controls);
  choice.ShowStoredSettings();
  choice.SelectMusicKind(0);
  EXPECT_EQ(controls.repeatText, "4");
  EXPECT_EQ(controls.fileLabel, "C:\\Music\\a.mp3");
  EXPECT_EQ(settings.MusicFile, "C:\\Music\\a.mp3");
}

TEST(DialogChooseFile, RequestAndAnswers) {
  SettingsValues settings;
  settings.MusicKind = 2;
  settings.MusicFolder = kFolder;
  FakeControls controls;
  MusicChoice choice(settings, controls);
  FakeChooser chooser;
  FakeFileSystem files;
  files.readable = {"C:\\Music\\a.mp3", "D:\\b.wav"};
  chooser.answers = {std::string("C:\\Music\\a.mp3"), std::nullopt, std::string("D:\\typed.wav"),
                     std::string("D:\\b.wav")};

  choice.ChooseFile(chooser, files);
  const OpenFileRequest& first = chooser.requests[0];
  EXPECT_EQ(first.filter, std::string("BGM\xcc\xa7\xb2\xd9 (MP3 WAV)\0*.MP3;*.WAV\0\0", 31));
  EXPECT_EQ(first.initialFolder, kFolder);
  EXPECT_EQ(first.title, texts::kFileChooserTitle);
  EXPECT_EQ(first.fileBufferSize, 255u);
  EXPECT_EQ(first.fileTitleBufferSize, 255u);
  EXPECT_EQ(settings.MusicFile, "C:\\Music\\a.mp3");
  EXPECT_EQ(controls.fileLabel, "C:\\Music\\a.mp3");
  EXPECT_EQ(settings.MusicFolder, "C:\\Music");

  // Cancelled, or a name that is no file: nothing changes, and the next
  // dialog still starts in the chosen file's folder.
  for (int i = 1; i <= 2; ++i) {
    choice.ChooseFile(chooser, files);
    EXPECT_EQ(chooser.requests[i].initialFolder, "C:\\Music");
    EXPECT_EQ(settings.MusicFile, "C:\\Music\\a.mp3");
    EXPECT_EQ(controls.fileLabel, "C:\\Music\\a.mp3");
  }

  choice.ChooseFile(chooser, files);
  EXPECT_EQ(settings.MusicFile, "D:\\b.wav");
  EXPECT_EQ(settings.MusicFolder, "D:");
}

TEST(DialogSave, ThreeKeysInOrder) {
  SettingsValues settings;
  settings.MusicKind = 2;
  settings.MusicFile = "C:\\Music\\a.mp3";
  FakeControls controls;
  MusicChoice choice(settings, controls);
  choice.SelectMusicKind(0);
  controls.repeatText = "12";
  FakeFileSystem files;
  EXPECT_TRUE(choice.Save(files, kPlaces));
  EXPECT_EQ(files.contents[kIni], Saved("0", "12", "C:\\Music\\a.mp3"));
  EXPECT_EQ(settings.RepeatTrack, 12);
}

TEST(DialogSave, UnknownKindWrittenBackAndBadRepeatAsZero) {
  for (const char* text : {"", "abc", "99999", "3.5", "-2"}) {
    SettingsValues settings;
    settings.MusicKind = 7;
    settings.RepeatTrack = 9;
    FakeControls controls;
    MusicChoice choice(settings, controls);
    choice.ShowStoredSettings();
    controls.repeatText = text;
    FakeFileSystem files;
    EXPECT_TRUE(choice.Save(files, kPlaces));
    const std::string expected = std::string(text) == "3.5" ? "4" : std::string(text) == "-2" ? "-2" : "0";
    EXPECT_EQ(files.contents[kIni], Saved("7", expected, "")) << "repeat text '" << text << "'";
  }
}

TEST(DialogSave, AStoredPathIsWrittenBackAsItStandsUnlessAFileWasChosen) {
  const std::string stored = "E:\\" + std::string(300, 'p') + ".wav";
  SettingsValues settings;
  settings.MusicKind = 2;
  settings.MusicFile = stored.substr(0, 255);  // as read
  FakeControls controls;
  MusicChoice choice(settings, controls);
  FakeFileSystem files;
  files.contents[kIni] = Saved("2", "0", stored);
  controls.repeatText = "";
  EXPECT_TRUE(choice.Save(files, kPlaces));
  EXPECT_EQ(files.contents[kIni], Saved("2", "0", stored));

  FakeChooser chooser;
  chooser.answers = {std::string("C:\\new.wav")};
  files.readable = {"C:\\new.wav"};
  choice.ChooseFile(chooser, files);
  EXPECT_TRUE(choice.Save(files, kPlaces));
  EXPECT_EQ(files.contents[kIni], Saved("2", "0", "C:\\new.wav"));
}

TEST(DialogSave, ASaveThatFailsSaysSoAndCanBeTriedAgain) {
  SettingsValues settings;
  settings.MusicKind = 1;
  FakeControls controls;
  controls.repeatText = "5";
  MusicChoice choice(settings, controls);
  FakeFileSystem files;
  files.lockedFolders = {kFolder};
  EXPECT_FALSE(choice.Save(files, kPlaces));
  EXPECT_TRUE(files.contents.empty());
  files.lockedFolders.clear();
  EXPECT_TRUE(choice.Save(files, kPlaces));
  EXPECT_EQ(files.contents[kIni], Saved("1", "5", ""));
}

class RecordingShell : public LinkShell {
 public:
  std::vector<std::string> calls;
  void ShowWaitPointer(bool wait) override { calls.push_back(wait ? "wait" : "default"); }
  void Open(const std::string& address) override { calls.push_back("open " + address); }
};

TEST(DialogLink, HourglassAroundTheShellCall) {
  RecordingShell shell;
  OpenLink(shell, "http://example.invalid/");
  EXPECT_EQ(shell.calls,
            (std::vector<std::string>{"wait", "open http://example.invalid/", "default"}));
}

}  // namespace
}  // namespace qb
