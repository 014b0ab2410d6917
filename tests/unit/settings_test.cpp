#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "platform/last_api_result.h"
#include "platform/program_paths.h"
#include "platform/texts.h"
#include "platform/utf16.h"
#include "settings/ini_encoding.h"
#include "settings/ini_text.h"

namespace qb {
namespace {

using test::FakeFileSystem;

const std::string kKind = texts::kKeyMusicKind;
const std::string kRepeat = texts::kKeyRepeatTrack;
const std::string kFile = texts::kKeyMusicFile;

// The file as the program writes it.
std::string Ini(const std::string& kind, const std::string& repeat, const std::string& file) {
  return "[Section]\r\n" + kKind + "=" + kind + "\r\n" + kRepeat + "=" + repeat + "\r\n" + kFile + "=" + file +
         "\r\n";
}

TEST(SettingsKeys, AreTheCodePage932Bytes) {
  EXPECT_EQ(kKind, "\x42\x47\x4D\x8B\xE6\x95\xAA");
  EXPECT_EQ(kRepeat, "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4");
  EXPECT_EQ(kFile, "\x42\x47\x4D\xCC\xA7\xB2\xD9");
  EXPECT_EQ(std::string(texts::kIniSection), "Section");
}

TEST(ConvertSettingNumber, RoundsDownAndChecksThe16BitRange) {
  EXPECT_EQ(ConvertSettingNumber("2"), 2);
  EXPECT_EQ(ConvertSettingNumber("2.7"), 2);
  EXPECT_EQ(ConvertSettingNumber("2.9"), 2);
  EXPECT_EQ(ConvertSettingNumber("-0.5"), -1);
  EXPECT_EQ(ConvertSettingNumber(" 7 "), 7);
  EXPECT_EQ(ConvertSettingNumber("+3"), 3);
  EXPECT_EQ(ConvertSettingNumber("1e2"), 100);
  EXPECT_EQ(ConvertSettingNumber("32767"), 32767);
  EXPECT_EQ(ConvertSettingNumber("32767.9"), 32767);
  EXPECT_EQ(ConvertSettingNumber("-32768"), -32768);
  for (const char* bad : {"40000", "32768", "-32769", "-32768.5", "abc", "2x", "", " ", ".", "-",
                          "0x10", "inf", "nan", "1e", "1e999", "1,000"}) {
    EXPECT_EQ(ConvertSettingNumber(bad), std::nullopt) << bad;
  }
}

// What the profile functions read, file by file (checked against the
// system's own reader under Wine too).
TEST(IniRead, AsTheProfileFunctionsReadIt) {
  const struct {
    const char* what;
    std::string content;
    std::string kind;
  } cases[] = {
      {"CRLF", "[Section]\r\n" + kKind + "=2\r\n", "2"},
      {"LF, no final line end", "[Section]\n" + kKind + "=2", "2"},
      {"CR only", "[Section]\r" + kKind + "=2\r", "2"},
      {"blank lines and ^Z", "\r\n\r\n[Section]\n\n\x1a" + kKind + "=2\x1a\n", "2"},
      {"blanks and tabs around names and values", " [ Section ] x\n \t" + kKind + " \t=\t 2 \t\n", "2"},
      {"ASCII letters in either case", "[SECTION]\nbgm" + kKind.substr(3) + "=2\n", "2"},
      {"the first key wins", "[Section]\n" + kKind + "=2\n" + kKind + "=1\n", "2"},
      {"a key without = hides the later one", "[Section]\n" + kKind + "\n" + kKind + "=1\n", ""},
      {"the first section wins", "[Section]\nx=1\n[Other]\n" + kKind + "=1\n[section]\n" + kKind + "=2\n", ""},
      {"other sections and comments around", ";c=1\n[A]\n" + kKind + "=7\n[Section]\n;" + kKind +
                                                 "=8\n" + kKind + "=2\n[B]\n" + kKind + "=9\n", "2"},
      {"a header without ] is a key", "[Section\n" + kKind + "=2\n", ""},
      {"double quotes come off", "[Section]\n" + kKind + "=\"2 \"\n", "2 "},
      {"single quotes come off", "[Section]\n" + kKind + "='2'\n", "2"},
      {"unmatched quotes stay", "[Section]\n" + kKind + "=\"2'\n", "\"2'"},
      {"a lone quote stays", "[Section]\n" + kKind + "=\"\n", "\""},
      {"a fullwidth blank is no blank", "[Section]\n" + kKind + "=\x81\x40" "2\n", "\x81\x40" "2"},
      {"a trail byte ] is no bracket", "[Sect\x81]ion]\n" + kKind + "=2\n", ""},
      {"a lead byte takes the line end along", "[Section]\n" + kKind + "=2\x81\nX=1\n", "2\x81\x45X=1"},
      {"a lead byte at the end is no character", "[Section]\n" + kKind + "=2\x9f", "2\x81\x45"},
      {"a NUL ends the value", std::string("[Section]\n") + kKind + "=2\0" "3\n", "2"},
      {"empty file", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniReadValue(c.content, "Section", kKind), c.kind) << c.what;
  }
}

TEST(IniRead, LongValuesAreCutAt255BytesAndNeverSplitACharacter) {
  const std::string ascii(300, 'x');
  EXPECT_EQ(IniReadValue("[S]\nk=" + ascii + "\n", "S", "k"), std::string(255, 'x'));
  // 127 two-byte characters fill 254 bytes; the 128th does not fit.
  std::string kanji;
  for (int i = 0; i < 200; ++i) kanji += "\x89\xB9";
  EXPECT_EQ(IniReadValue("[S]\nk=" + kanji + "\n", "S", "k"), kanji.substr(0, 254));
  // Quotes come off a value that fits; of a longer one only the first does.
  EXPECT_EQ(IniReadValue("[S]\nk=\"" + std::string(254, 'q') + "\"\n", "S", "k"), std::string(254, 'q'));
  EXPECT_EQ(IniReadValue("[S]\nk=\"" + std::string(255, 'q') + "\"\n", "S", "k"), std::string(254, 'q'));
  EXPECT_EQ(IniReadValue("[S]\nk=\"" + std::string(300, 'q') + "\"\n", "S", "k"), std::string(255, 'q'));
}

TEST(IniUpdate, ChangesOnlyTheLinesOfTheKeysItSets) {
  const struct {
    const char* what;
    std::string before;
    std::string after;
  } cases[] = {
      {"no file", "", Ini("2", "5", "C:\\a.wav")},
      {"the program's own file", Ini("0", "0", ""), Ini("2", "5", "C:\\a.wav")},
      {"everything else stays: blank lines, comments, LF, other sections",
       "; mine\n\n[Other]\nx = 1\n\n[Section]\n  " + kKind + " = 1 \n; note\n\n[Last]\ny=2",
       "; mine\n\n[Other]\nx = 1\n\n[Section]\n" + kKind + "=2\n; note\n" + kRepeat + "=5\r\n" + kFile +
           "=C:\\a.wav\r\n\n[Last]\ny=2"},
      {"a missing section goes at the end, after a line end", "[Other]\nx=1",
       "[Other]\nx=1\r\n[Section]\r\n" + kKind + "=2\r\n" + kRepeat + "=5\r\n" + kFile + "=C:\\a.wav\r\n"},
      {"the stored name's case stays; only the first of two keys changes",
       "[section]\rbgm" + kKind.substr(3) + "=1\r" + kKind + "=0\r" + kRepeat + "\r" + kFile + "=\r",
       "[section]\rbgm" + kKind.substr(3) + "=2\r" + kKind + "=0\r" + kRepeat + "=5\r" + kFile + "=C:\\a.wav\r"},
      {"an empty section at the end of the file", "[Section]",
       "[Section]\r\n" + kKind + "=2\r\n" + kRepeat + "=5\r\n" + kFile + "=C:\\a.wav\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniWithValues(c.before, "Section", {{kKind, "2"}, {kRepeat, "5"}, {kFile, "C:\\a.wav"}}), c.after)
        << c.what;
  }
}

TEST(IniUpdate, KeepStoredLeavesAnExistingLineAsItStands) {
  const std::string longPath = "C:\\" + std::string(300, 'p') + ".wav";
  const std::string before = Ini("2", "0", longPath);
  EXPECT_EQ(IniWithValues(before, "Section", {{kKind, "1"}, {kFile, longPath.substr(0, 255), true}}),
            Ini("1", "0", longPath));
  // Without a stored line the value is written.
  EXPECT_EQ(IniWithValues("", "Section", {{kFile, "C:\\b.wav", true}}), "[Section]\r\n" + kFile + "=C:\\b.wav\r\n");
}

TEST(IniUpdate, WhatIsWrittenReadsBack) {
  for (const std::string& before :
       {std::string(), Ini("1", "3", "x"), std::string("[Section]\n\x81\n"), std::string("\x82[Section]\r\r\n\n")}) {
    const std::string after = IniWithValues(before, "Section", {{kKind, "-3"}, {kRepeat, ""}, {kFile, "D:\\\x95\\\\m.mp3"}});
    EXPECT_EQ(IniReadValue(after, "Section", kKind), "-3");
    EXPECT_EQ(IniReadValue(after, "Section", kRepeat), "");
    EXPECT_EQ(IniReadValue(after, "Section", kFile), "D:\\\x95\\\\m.mp3");
    EXPECT_EQ(IniWithValues(after, "Section", {{kKind, "-3"}}), after) << "the same value changes nothing";
  }
}

class SettingsFileTest : public ::testing::Test {
 protected:
  const SettingsPlaces places{u"C:\\Program Files\\Quillbright", u"C:\\Users\\u\\AppData\\Local\\Quillbright"};
  const std::u16string programIni = places.ProgramFile();
  const std::u16string userIni = places.UserFile();
  FakeFileSystem files;
  test::IconvCodec codec;
  SettingsValues settings;

  void SetUp() override { files.missingFolders = {places.userFolder}; }
  void Load(UnreachableMusicFile unreachable = UnreachableMusicFile::Drop) {
    LoadSettings(settings, files, codec, places, unreachable);
  }
  bool Save(int16_t kind, int16_t repeat, const std::string& file, bool changed = true) {
    return SaveSettings(files, codec, places, {kind, repeat, file, changed});
  }
};

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
  Load();
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.RepeatTrack, 0);
  EXPECT_EQ(settings.MusicFile, u"");
  EXPECT_EQ(settings.MusicFolder, places.programFolder);
}

TEST_F(SettingsFileTest, ReadsTheThreeKeysFromTheUserFileWhenThereIsOne) {
  files.contents[programIni] = Ini("1", "4", "");
  files.readable = {u"D:\\Music\\loop.mp3"};
  Load();
  EXPECT_EQ(settings.MusicKind, 1);
  EXPECT_EQ(settings.RepeatTrack, 4);

  files.contents[userIni] = Ini("2", "3", "D:\\Music\\loop.mp3");
  Load();
  EXPECT_EQ(settings.MusicKind, 2);
  EXPECT_EQ(settings.RepeatTrack, 3);
  EXPECT_EQ(settings.MusicFile, u"D:\\Music\\loop.mp3");
  EXPECT_EQ(settings.MusicFolder, u"D:\\Music");

  // One that is there but cannot be read: the program folder's stands in.
  files.unreadable = {userIni};
  settings = {};
  Load();
  EXPECT_EQ(settings.MusicKind, 1);
  EXPECT_EQ(settings.RepeatTrack, 4);
}

TEST_F(SettingsFileTest, AnUnreachableMusicFileIsDroppedForTheSaverAndKeptForTheDialog) {
  files.contents[programIni] = Ini("2", "5", "E:\\gone.wav");
  Load(UnreachableMusicFile::Drop);
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.MusicFile, u"");
  EXPECT_EQ(settings.MusicFolder, places.programFolder);

  settings = {};
  Load(UnreachableMusicFile::Keep);
  EXPECT_EQ(settings.MusicKind, 2);
  EXPECT_EQ(settings.MusicFile, u"E:\\gone.wav");
  EXPECT_EQ(settings.MusicFolder, u"E:");

  // An empty path is no file in either case; the CD kind survives.
  files.contents[programIni] = Ini("2", "5", "");
  Load(UnreachableMusicFile::Keep);
  EXPECT_EQ(settings.MusicKind, 0);
  files.contents[programIni] = Ini("1", "5", "E:\\gone.wav");
  Load(UnreachableMusicFile::Drop);
  EXPECT_EQ(settings.MusicKind, 1);
}

TEST_F(SettingsFileTest, AStoredPathIsCodePage932Text) {
  // "C:\音楽\tone.wav"; "表" ends in the byte of a backslash.
  files.contents[programIni] = Ini("2", "0", "C:\\\x89\xb9\x8a\x79\\\x95\x5c.wav");
  files.readable = {u"C:\\\u97f3\u697d\\\u8868.wav"};
  Load();
  EXPECT_EQ(settings.MusicKind, 2);
  EXPECT_EQ(settings.MusicFile, u"C:\\\u97f3\u697d\\\u8868.wav");
  EXPECT_EQ(settings.MusicFolder, u"C:\\\u97f3\u697d");
}

TEST_F(SettingsFileTest, AStoredDevicePathIsDroppedUnopenedEvenForTheDialog) {
  files.contents[programIni] = Ini("2", "5", "\\\\.\\pipe\\qb.mp3");
  files.readable = {u"\\\\.\\pipe\\qb.mp3"};
  for (auto unreachable : {UnreachableMusicFile::Drop, UnreachableMusicFile::Keep}) {
    settings = {};
    Load(unreachable);
    EXPECT_EQ(settings.MusicKind, 0);
    EXPECT_EQ(settings.MusicFile, u"");
  }
  EXPECT_TRUE(files.asked.empty());
}

TEST_F(SettingsFileTest, BadNumbersKeepThePreviousValueAndPathsAreCheckedAsRead) {
  files.contents[programIni] = Ini("abc", "40000", "");
  settings.MusicKind = 1;
  settings.RepeatTrack = 5;
  Load();
  EXPECT_EQ(settings.MusicKind, 1);
  EXPECT_EQ(settings.RepeatTrack, 5);

  const std::string path = "D:\\" + std::string(300, 'm') + ".mp3";
  files.readable = {WidenAscii(path)};
  files.contents[programIni] = Ini("2.7", "", path);
  Load();
  EXPECT_EQ(files.asked.back(), WidenAscii(path.substr(0, 255)));
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.RepeatTrack, 0);

  files.contents[programIni] = Ini("2", "0", "D:\\Music\\");
  Load();
  EXPECT_EQ(files.asked.back(), u"D:\\Music");
  EXPECT_EQ(settings.MusicFile, u"");
}

TEST_F(SettingsFileTest, SavesBesideTheProgramWhenItCan) {
  files.contents[programIni] = "; preset\r\n" + Ini("0", "0", "");
  LastApiResult = 0;
  EXPECT_TRUE(Save(2, 12, "C:\\m.wav"));
  EXPECT_EQ(files.replaced, std::vector<std::u16string>{programIni});
  EXPECT_EQ(files.contents[programIni], "; preset\r\n" + Ini("2", "12", "C:\\m.wav"));
  EXPECT_EQ(LastApiResult, 1);
}

TEST_F(SettingsFileTest, ALockedProgramFolderSendsTheSaveToTheUsersOwnFile) {
  files.contents[programIni] = "; preset\r\n" + Ini("1", "3", "");
  files.lockedFolders = {places.programFolder};
  EXPECT_TRUE(Save(2, 0, "C:\\m.wav"));
  EXPECT_EQ(files.replaced, std::vector<std::u16string>{userIni});
  EXPECT_EQ(files.contents[userIni], "; preset\r\n" + Ini("2", "0", "C:\\m.wav"));
  EXPECT_EQ(files.contents[programIni], "; preset\r\n" + Ini("1", "3", ""));

  // From now on the user's file is the one in use, and the only one saved.
  files.lockedFolders.clear();
  EXPECT_TRUE(Save(0, 0, "C:\\m.wav"));
  EXPECT_EQ(files.replaced.back(), userIni);
  EXPECT_EQ(files.contents[programIni], "; preset\r\n" + Ini("1", "3", ""));
}

TEST_F(SettingsFileTest, ASaveThatCannotBeWrittenChangesNothingAndSaysSo) {
  files.contents[programIni] = Ini("1", "3", "");
  files.lockedFolders = {places.programFolder, places.userFolder};
  EXPECT_FALSE(Save(2, 0, "C:\\m.wav"));
  files.lockedFolders = {places.programFolder};
  files.canMakeFolders = false;
  EXPECT_FALSE(Save(2, 0, "C:\\m.wav"));
  EXPECT_TRUE(files.replaced.empty());

  // A user file that is there but locked for now takes nothing, nor does
  // any other file: once the lock goes, the user's would hide the save.
  files.canMakeFolders = true;
  files.unreadable = {userIni};
  for (const auto& locked : {std::set<std::u16string>{places.programFolder}, std::set<std::u16string>{}}) {
    files.lockedFolders = locked;
    EXPECT_FALSE(Save(2, 0, "C:\\m.wav"));
    EXPECT_TRUE(files.replaced.empty());
  }
}

TEST_F(SettingsFileTest, AnUnreadableProgramFileIsNotReplaced) {
  files.unreadable = {programIni};
  EXPECT_TRUE(Save(1, 2, ""));
  EXPECT_EQ(files.replaced, std::vector<std::u16string>{userIni});
  EXPECT_EQ(files.contents[userIni], Ini("1", "2", ""));
}

// A file an editor saved as UTF-16 ("Unicode"): UTF-16LE with its mark.
std::string Utf16File(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

TEST_F(SettingsFileTest, AFileSavedAsUtf16IsReadAndStaysUtf16WithItsOtherLinesAsTheyWere) {
  // Keys and values in UTF-16, and lines with characters that code page
  // 932 lacks ("\u20ac", an emoji), which must come back unchanged.
  const std::u16string kind = u"BGM\u533a\u5206", repeat = u"BGM\uff98\uff8b\uff9f\uff70\uff84",
                       file = u"BGM\uff8c\uff67\uff72\uff99";
  const std::u16string before = u"; \u20ac \U0001F3B5\r\n[Section]\r\n" + kind + u"=2\r\n" + repeat +
                                u"=4\r\n" + file + u"=C:\\\u97f3\u697d\\a.wav\r\n[Other]\r\nx=\u20ac\r\n";
  files.contents[programIni] = Utf16File(before);
  files.readable = {u"C:\\\u97f3\u697d\\a.wav"};
  Load();
  EXPECT_EQ(settings.MusicKind, 2);
  EXPECT_EQ(settings.RepeatTrack, 4);
  EXPECT_EQ(settings.MusicFile, u"C:\\\u97f3\u697d\\a.wav");

  ASSERT_TRUE(Save(1, 7, "D:\\\x95\x5c.mp3"));
  const std::u16string after = u"; \u20ac \U0001F3B5\r\n[Section]\r\n" + kind + u"=1\r\n" + repeat +
                               u"=7\r\n" + file + u"=D:\\\u8868.mp3\r\n[Other]\r\nx=\u20ac\r\n";
  EXPECT_EQ(files.contents[programIni], Utf16File(after));
  // A key written twice, in lines that read alike: the first takes the new
  // path, the second keeps its own characters.
  files.contents[programIni] =
      Utf16File(u"[Section]\r\n" + file + u"=C:\\caf\u00e9.mp3\r\n" + file + u"=C:\\caf\u00fc.mp3\r\n");
  ASSERT_TRUE(Save(2, 0, "C:\\b.mp3"));
  EXPECT_EQ(files.contents[programIni], Utf16File(u"[Section]\r\n" + file + u"=C:\\b.mp3\r\n" + file +
                                                  u"=C:\\caf\u00fc.mp3\r\n" + kind + u"=2\r\n" + repeat + u"=0\r\n"));
  // Keys it lacks go in as UTF-16 too; an empty UTF-16 file gets them all.
  files.contents[programIni] = Utf16File(u"[Section]\r\n\u20ac=1\r\n");
  ASSERT_TRUE(Save(3, 0, "", true));
  EXPECT_EQ(files.contents[programIni],
            Utf16File(u"[Section]\r\n\u20ac=1\r\n" + kind + u"=3\r\n" + repeat + u"=0\r\n" + file + u"=\r\n"));
  files.contents[programIni] = Utf16File(u"");
  ASSERT_TRUE(Save(2, 1, "C:\\a.wav"));
  EXPECT_EQ(files.contents[programIni],
            Utf16File(u"[Section]\r\n" + kind + u"=2\r\n" + repeat + u"=1\r\n" + file + u"=C:\\a.wav\r\n"));
}

TEST(IniFileText, KeepsEachUnchangedLineEvenWhenTheTextRepeatsOrIsLong) {
  test::IconvCodec codec;
  // Lines that read alike ("?" for each character code page 932 lacks)
  // keep their own characters, and a long file costs no quadratic match.
  std::u16string text = u"a\u20ac\r\na\u0394\r\n";  // "a?" and "a" + Greek Delta, which code page 932 has
  text += u"a\u20ad\r\n";
  for (int i = 0; i < 3000; ++i) text += u"k" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"=\u20ac\n";
  const std::string bytes = Utf16File(text);
  const IniFileText file(bytes, codec);
  EXPECT_EQ(file.FileBytes(file.Text()), bytes);
  std::string changed = file.Text();
  const std::vector<IniEdit> edits = {{changed.find("k5="), 0, "k5=x\r\n"},  // a line put in the middle
                                      {changed.size() + 6, 0, "end\r\n"}};
  for (const IniEdit& edit : edits) changed.insert(edit.offset, edit.inserted);
  std::u16string want = text;
  want.replace(want.find(u"k5="), 3, u"k5=x\r\nk5=");
  want += u"end\r\n";
  EXPECT_TRUE(file.FileBytes(changed, edits) == Utf16File(want));  // (too long to print)
  // A line changed between two that read alike: each keeps its own.
  const IniFileText alike(Utf16File(u"a\u20ac\nb\na\u20ad\n"), codec);
  EXPECT_EQ(alike.Text(), "a?\nb\na?\n");
  EXPECT_EQ(alike.FileBytes("a?\nc\na?\n", {{3, 1, "c"}}), Utf16File(u"a\u20ac\nc\na\u20ad\n"));
  // Code page 932 files pass as they are, and so does any other mark,
  // which the system reads as text of the first line; an odd last byte
  // of a UTF-16 file stays.
  EXPECT_EQ(IniFileText("[S]\r\n\x82", codec).FileBytes("[S]\r\n\x82"), "[S]\r\n\x82");
  for (const std::string& other : {std::string("\xFE\xFF\0[\0S\0]", 8), std::string("\xEF\xBB\xBF[S]")}) {
    EXPECT_EQ(IniFileText(other, codec).Text(), other);
  }
  const IniFileText odd(Utf16File(u"x=1") + "\x41", codec);
  EXPECT_EQ(odd.Text(), "x=1");
  EXPECT_EQ(odd.FileBytes("x=1"), Utf16File(u"x=1") + "\x41");
  EXPECT_EQ(odd.FileBytes("x=1\r\ny=2"), Utf16File(u"x=1\r\ny=2") + "\x41");
  EXPECT_EQ(IniFileText("\xFF\xFE\x41", codec).FileBytes(""), "\xFF\xFE\x41");
}

}  // namespace
}  // namespace qb
