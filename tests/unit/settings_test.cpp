#include "startup/settings.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "platform/last_api_result.h"
#include "platform/texts.h"

namespace qb {
namespace {

using test::FakeFileSystem;
using test::FakeProfileStore;

TEST(SettingsKeys, AreTheCodePage932Bytes) {
  EXPECT_EQ(std::string(texts::kKeyMusicKind), "\x42\x47\x4D\x8B\xE6\x95\xAA");
  EXPECT_EQ(std::string(texts::kKeyRepeatTrack), "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4");
  EXPECT_EQ(std::string(texts::kKeyMusicFile), "\x42\x47\x4D\xCC\xA7\xB2\xD9");
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

TEST(FileExists, DropsOneTrailingBackslashAndAsksTheFileSystem) {
  FakeFileSystem files;
  files.readable = {"C:\\a.wav"};
  EXPECT_TRUE(FileExists(files, "C:\\a.wav"));
  EXPECT_TRUE(FileExists(files, "C:\\a.wav\\"));
  EXPECT_FALSE(FileExists(files, "C:\\a.wav\\\\"));
  EXPECT_FALSE(FileExists(files, "C:\\b.wav"));
  EXPECT_FALSE(FileExists(files, ""));
  EXPECT_FALSE(FileExists(files, "\\"));
  // A trailing trail byte 5C is not a backslash.
  files.readable.insert("C:\\\x95\x5C");
  EXPECT_TRUE(FileExists(files, "C:\\\x95\x5C"));
}

TEST(IniStrings, ReadIsCutAt255BytesAndWriteRecordsTheResult) {
  FakeProfileStore store;
  store.files["f"]["S"]["k"] = std::string(300, 'x');
  EXPECT_EQ(ReadIniString(store, "S", "k", "f"), std::string(255, 'x'));
  EXPECT_EQ(ReadIniString(store, "S", "missing", "f"), "");
  EXPECT_EQ(ReadIniString(store, "S", "k", "nofile"), "");

  store.writeResult = 0;
  LastApiResult = 77;
  WriteIniString(store, "Section", texts::kKeyMusicKind, "2", "C:\\Q\\Quillbright.ini");
  EXPECT_EQ(LastApiResult, 0);
  ASSERT_EQ(store.writes.size(), 1u);
  EXPECT_EQ(store.writes[0], std::string("Section|") + texts::kKeyMusicKind + "|2|C:\\Q\\Quillbright.ini");

  // Names longer than their 127-byte field are cut; values pass whole.
  const std::string longName(200, 'n');
  WriteIniString(store, longName.c_str(), "k", std::string(400, 'v'), "f");
  EXPECT_EQ(store.writes[1], std::string(127, 'n') + "|k|" + std::string(400, 'v') + "|f");
}

class LoadSettingsTest : public ::testing::Test {
 protected:
  const std::string folder = "C:\\Program Files\\Quillbright";
  const std::string ini = folder + "\\Quillbright.ini";
  FakeProfileStore store;
  FakeFileSystem files;
  SettingsValues settings;

  void Set(const char* key, const std::string& value) { store.files[ini]["Section"][key] = value; }
  void Load() { LoadSettings(settings, store, files, folder); }
};

TEST_F(LoadSettingsTest, NoFileGivesTheDefaults) {
  Load();
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.RepeatTrack, 0);
  EXPECT_EQ(settings.MusicFile, "");
  EXPECT_EQ(settings.MusicFolder, folder);
}

TEST_F(LoadSettingsTest, ReadsAllThreeKeys) {
  Set(texts::kKeyMusicKind, "2");
  Set(texts::kKeyRepeatTrack, "3");
  Set(texts::kKeyMusicFile, "D:\\Music\\loop.mp3");
  files.readable = {"D:\\Music\\loop.mp3"};
  Load();
  EXPECT_EQ(settings.MusicKind, 2);
  EXPECT_EQ(settings.RepeatTrack, 3);
  EXPECT_EQ(settings.MusicFile, "D:\\Music\\loop.mp3");
  EXPECT_EQ(settings.MusicFolder, "D:\\Music");
}

TEST_F(LoadSettingsTest, AMissingOrEmptyMusicFileDropsTheFileKind) {
  Set(texts::kKeyMusicKind, "2");
  Set(texts::kKeyMusicFile, "D:\\gone.wav");
  Load();
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.MusicFile, "");
  EXPECT_EQ(settings.MusicFolder, folder);

  Set(texts::kKeyMusicFile, "");
  settings = {};
  Load();
  EXPECT_EQ(settings.MusicKind, 0);

  store.files[ini]["Section"].erase(texts::kKeyMusicFile);
  settings = {};
  Load();
  EXPECT_EQ(settings.MusicKind, 0);
}

TEST_F(LoadSettingsTest, TheCdKindSurvivesAMissingFile) {
  Set(texts::kKeyMusicKind, "1");
  Set(texts::kKeyMusicFile, "D:\\gone.wav");
  Load();
  EXPECT_EQ(settings.MusicKind, 1);
  EXPECT_EQ(settings.MusicFile, "");
}

TEST_F(LoadSettingsTest, BadNumbersKeepThePreviousValue) {
  Set(texts::kKeyMusicKind, "abc");
  Set(texts::kKeyRepeatTrack, "40000");
  Load();
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.RepeatTrack, 0);

  settings.MusicKind = 1;
  settings.RepeatTrack = 5;
  Load();
  EXPECT_EQ(settings.MusicKind, 1);
  EXPECT_EQ(settings.RepeatTrack, 5);

  Set(texts::kKeyMusicKind, "2.7");
  Set(texts::kKeyRepeatTrack, "");  // present but empty reads as 0
  files.readable = {"D:\\a.wav"};
  Set(texts::kKeyMusicFile, "D:\\a.wav");
  Load();
  EXPECT_EQ(settings.MusicKind, 2);
  EXPECT_EQ(settings.RepeatTrack, 0);
}

TEST_F(LoadSettingsTest, OtherKindsStayAsRead) {
  Set(texts::kKeyMusicKind, "-7");
  Load();
  EXPECT_EQ(settings.MusicKind, -7);
}

TEST_F(LoadSettingsTest, AnOverlongPathIsCutAndThenNotFound) {
  const std::string path = "D:\\" + std::string(300, 'm') + ".mp3";
  Set(texts::kKeyMusicKind, "2");
  Set(texts::kKeyMusicFile, path);
  files.readable = {path};
  Load();
  ASSERT_FALSE(files.asked.empty());
  EXPECT_EQ(files.asked.back(), path.substr(0, 255));
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.MusicFile, "");
}

TEST_F(LoadSettingsTest, AFolderAsTheMusicFileIsDropped) {
  Set(texts::kKeyMusicKind, "2");
  Set(texts::kKeyMusicFile, "D:\\Music\\");
  Load();
  ASSERT_FALSE(files.asked.empty());
  EXPECT_EQ(files.asked.back(), "D:\\Music");
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.MusicFolder, folder);
}

}  // namespace
}  // namespace qb
