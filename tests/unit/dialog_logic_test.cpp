#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "platform/texts.h"
#include "platform/utf16.h"
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
  std::u16string fileLabel = u"unset";
  int nameNotKept = 0;
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
  void SetFileLabel(const std::u16string& path) override { fileLabel = path; }
  void SayNameCannotBeKept() override { ++nameNotKept; }
};

class FakeChooser : public FileChooser {
 public:
  std::vector<std::optional<std::u16string>> answers;
  std::vector<OpenFileRequest> requests;

  std::optional<std::u16string> Choose(const OpenFileRequest& request) override {
    requests.push_back(request);
    auto answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
};

const std::u16string kFolder = u"C:\\Saver";
const SettingsPlaces kPlaces{kFolder, u""};
const std::u16string kIni = u"C:\\Saver\\Quillbright.ini";

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
  settings.MusicFile = u"C:\\Music\\a.mp3";
  FakeControls controls;
  MusicChoice(settings, controls).ShowStoredSettings();
  EXPECT_EQ(controls.selectedMark, c.selectedMark);
  EXPECT_EQ(controls.marksShown, c.selectedMark < 0 ? 3 : 4);
  EXPECT_EQ(controls.repeatEnabled, c.repeat);
  EXPECT_EQ(controls.fileButtonEnabled, c.fileButton);
  EXPECT_EQ(controls.repeatText, "5");  // shown whether enabled or not
  EXPECT_EQ(controls.fileLabel, u"C:\\Music\\a.mp3");
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
  EXPECT_EQ(controls.fileLabel, u"");
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
  settings.MusicFile = u"C:\\Music\\a.mp3";
  FakeControls controls;
  MusicChoice choice(settings, controls);
  choice.ShowStoredSettings();
  choice.SelectMusicKind(0);
  EXPECT_EQ(controls.repeatText, "4");
  EXPECT_EQ(controls.fileLabel, u"C:\\Music\\a.mp3");
  EXPECT_EQ(settings.MusicFile, u"C:\\Music\\a.mp3");
}

TEST(DialogChooseFile, RequestAndAnswers) {
  SettingsValues settings;
  settings.MusicKind = 2;
  settings.MusicFolder = kFolder;
  FakeControls controls;
  MusicChoice choice(settings, controls);
  FakeChooser chooser;
  FakeFileSystem files;
  test::IconvCodec codec;
  files.readable = {u"C:\\Music\\a.mp3", u"D:\\b.wav"};
  chooser.answers = {u"C:\\Music\\a.mp3", std::nullopt, u"D:\\typed.wav", u"D:\\b.wav"};

  choice.ChooseFile(chooser, files, codec);
  const OpenFileRequest& first = chooser.requests[0];
  EXPECT_EQ(first.filter, std::string("BGM\xcc\xa7\xb2\xd9 (MP3 WAV)\0*.MP3;*.WAV\0\0", 31));
  EXPECT_EQ(first.initialFolder, kFolder);
  EXPECT_EQ(first.title, texts::kFileChooserTitle);
  EXPECT_EQ(first.fileBufferSize, 255u);
  EXPECT_EQ(first.fileTitleBufferSize, 255u);
  EXPECT_EQ(settings.MusicFile, u"C:\\Music\\a.mp3");
  EXPECT_EQ(controls.fileLabel, u"C:\\Music\\a.mp3");
  EXPECT_EQ(settings.MusicFolder, u"C:\\Music");

  // Cancelled, or a name that is no file: nothing changes, and the next
  // dialog still starts in the chosen file's folder.
  for (int i = 1; i <= 2; ++i) {
    choice.ChooseFile(chooser, files, codec);
    EXPECT_EQ(chooser.requests[i].initialFolder, u"C:\\Music");
    EXPECT_EQ(settings.MusicFile, u"C:\\Music\\a.mp3");
    EXPECT_EQ(controls.fileLabel, u"C:\\Music\\a.mp3");
  }

  choice.ChooseFile(chooser, files, codec);
  EXPECT_EQ(settings.MusicFile, u"D:\\b.wav");
  EXPECT_EQ(settings.MusicFolder, u"D:");
  EXPECT_EQ(controls.nameNotKept, 0);

  // A device is no music, even one that answers; 255 bytes are kept whole.
  const std::u16string full = u"D:\\" + std::u16string(248, u'm') + u".mp3";
  files.readable.insert({u"\\\\.\\pipe\\qb.mp3", full});
  chooser.answers = {u"\\\\.\\pipe\\qb.mp3", full};
  choice.ChooseFile(chooser, files, codec);
  EXPECT_EQ(settings.MusicFile, u"D:\\b.wav");
  choice.ChooseFile(chooser, files, codec);
  EXPECT_EQ(settings.MusicFile, full);
}

// The settings file holds code page 932: a path it cannot hold goes in as
// its short form, or not at all.
TEST(DialogChooseFile, APathBeyondCodePage932IsKeptShortOrNotAtAll) {
  const std::u16string korean = u"C:\\\uC74C\uC545\\a.wav";  // "음악"
  const std::u16string western = u"C:\\Musique\\\u00C9t\u00E9 \u00E0 No\u00EBl.wav";
  SettingsValues settings;
  FakeControls controls;
  MusicChoice choice(settings, controls);
  FakeChooser chooser;
  FakeFileSystem files;
  test::IconvCodec codec;
  // Beyond the 255 bytes a value reads back: short when it can be.
  const std::u16string longName = u"C:\\Music\\" + std::u16string(130, u'\u97F3') + u"\\a.mp3";
  const std::u16string longer = longName + u".mp3";
  files.readable = {korean, western, u"C:\\\u97F3\u697D\\a.wav", longName, longer};
  files.shortPaths[korean] = u"C:\\7B8C~1\\a.wav";
  files.shortPaths[western] = western;
  files.shortPaths[longer] = u"C:\\Music\\" + std::u16string(124, u'\u97F3') + u"\\a.mp3";
  chooser.answers = {longName, u"C:\\\u97F3\u697D\\a.wav", korean, western, longer};

  choice.ChooseFile(chooser, files, codec);
  EXPECT_EQ(settings.MusicFile, u"C:\\SHORT~1\\A~1.WAV");

  choice.ChooseFile(chooser, files, codec);  // "音楽": code page 932 holds it
  EXPECT_EQ(settings.MusicFile, u"C:\\\u97F3\u697D\\a.wav");
  choice.ChooseFile(chooser, files, codec);
  EXPECT_EQ(settings.MusicFile, u"C:\\7B8C~1\\a.wav");
  EXPECT_EQ(controls.fileLabel, u"C:\\7B8C~1\\a.wav");
  EXPECT_EQ(controls.nameNotKept, 0);
  // No short form (the system gives the long one back): said, and the
  // previous choice stays.
  choice.ChooseFile(chooser, files, codec);
  EXPECT_EQ(controls.nameNotKept, 1);
  EXPECT_EQ(settings.MusicFile, u"C:\\7B8C~1\\a.wav");
  EXPECT_EQ(controls.fileLabel, u"C:\\7B8C~1\\a.wav");
  // A short form still too long: said too.
  choice.ChooseFile(chooser, files, codec);
  EXPECT_EQ(controls.nameNotKept, 2);
  EXPECT_EQ(settings.MusicFile, u"C:\\7B8C~1\\a.wav");

  files.contents[kIni] = "";
  ASSERT_TRUE(choice.Save(files, codec, kPlaces));
  EXPECT_NE(files.contents[kIni].find(std::string(texts::kKeyMusicFile) + "=C:\\7B8C~1\\a.wav\r\n"),
            std::string::npos);
}

TEST(DialogSave, ThreeKeysInOrder) {
  SettingsValues settings;
  settings.MusicKind = 2;
  settings.MusicFile = u"C:\\Music\\a.mp3";
  FakeControls controls;
  MusicChoice choice(settings, controls);
  choice.SelectMusicKind(0);
  controls.repeatText = "12";
  FakeFileSystem files;
  test::IconvCodec codec;
  EXPECT_TRUE(choice.Save(files, codec, kPlaces));
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
    test::IconvCodec codec;
    EXPECT_TRUE(choice.Save(files, codec, kPlaces));
    const std::string expected = std::string(text) == "3.5" ? "4" : std::string(text) == "-2" ? "-2" : "0";
    EXPECT_EQ(files.contents[kIni], Saved("7", expected, "")) << "repeat text '" << text << "'";
  }
}

TEST(DialogSave, AStoredPathIsWrittenBackAsItStandsUnlessAFileWasChosen) {
  const std::string stored = "E:\\" + std::string(300, 'p') + ".wav";
  SettingsValues settings;
  settings.MusicKind = 2;
  settings.MusicFile = WidenAscii(stored.substr(0, 255));  // as read
  FakeControls controls;
  MusicChoice choice(settings, controls);
  FakeFileSystem files;
  test::IconvCodec codec;
  files.contents[kIni] = Saved("2", "0", stored);
  controls.repeatText = "";
  EXPECT_TRUE(choice.Save(files, codec, kPlaces));
  EXPECT_EQ(files.contents[kIni], Saved("2", "0", stored));

  FakeChooser chooser;
  chooser.answers = {u"C:\\new.wav"};
  files.readable = {u"C:\\new.wav"};
  choice.ChooseFile(chooser, files, codec);
  EXPECT_TRUE(choice.Save(files, codec, kPlaces));
  EXPECT_EQ(files.contents[kIni], Saved("2", "0", "C:\\new.wav"));
}

TEST(DialogSave, ASaveThatFailsSaysSoAndCanBeTriedAgain) {
  SettingsValues settings;
  settings.MusicKind = 1;
  FakeControls controls;
  controls.repeatText = "5";
  MusicChoice choice(settings, controls);
  FakeFileSystem files;
  test::IconvCodec codec;
  files.lockedFolders = {kFolder};
  EXPECT_FALSE(choice.Save(files, codec, kPlaces));
  EXPECT_TRUE(files.contents.empty());
  files.lockedFolders.clear();
  EXPECT_TRUE(choice.Save(files, codec, kPlaces));
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
