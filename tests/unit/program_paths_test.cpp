#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace qb {
namespace {

TEST(ArgumentString, SkipsTheProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ(ArgumentString(u"\"C:\\Program Files\\Q\\Quillbright.scr\" /s"), u"/s");
  EXPECT_EQ(ArgumentString(u"C:\\WINDOWS\\Quillbright.scr /p 1234"), u"/p 1234");
  EXPECT_EQ(ArgumentString(u"Quillbright.scr \t  /c:5678"), u"/c:5678");
  EXPECT_EQ(ArgumentString(u"\"C:\\a b\\Quillbright.scr\""), u"");
  EXPECT_EQ(ArgumentString(u"Quillbright.scr"), u"");
  EXPECT_EQ(ArgumentString(u""), u"");
  // Blanks inside the arguments are kept; any letters may name the program.
  EXPECT_EQ(ArgumentString(u"x.scr /s  99"), u"/s  99");
  EXPECT_EQ(ArgumentString(u"\"C:\\qb_Caf\u00e9\\\u8868\u793a\\Q.scr\" /c"), u"/c");
}

// On UTF-16 no character but ':' and '\' has their values: not é (E9,
// which code page 932 takes for a lead byte), not 表 (95 5C in code page
// 932), not a character beyond the 16 bits.
TEST(FolderOfPath, IsTheTextBeforeTheLastColonOrBackslash) {
  const struct {
    std::u16string path;
    std::u16string folder;
  } cases[] = {
      {u"C:\\Music\\a.mp3", u"C:\\Music"},
      {u"C:\\a.mp3", u"C:"},
      {u"C:a.mp3", u"C:"},
      {u"\\\\server\\share\\dir\\a.wav", u"\\\\server\\share\\dir"},
      {u"a.mp3", u""},
      {u"", u""},
      {u"C:\\Music\\", u"C:\\Music"},
      {u"C:\\Caf\u00e9\\Quillbright.scr", u"C:\\Caf\u00e9"},
      {u"C:\\\u0421\u043a\u0440\u0438\u043d\u044b\\Quillbright.scr", u"C:\\\u0421\u043a\u0440\u0438\u043d\u044b"},
      {u"C:\\\u8868\\a.mp3", u"C:\\\u8868"},
      {u"C:\\\u8868.mp3", u"C:"},
      {u"C:\\\U0001F3B5\\\U0001F3B5.wav", u"C:\\\U0001F3B5"},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << test::Utf8(c.path);
}

TEST(FileExists, DropsOneTrailingBackslashAndAsksTheFileSystem) {
  test::FakeFileSystem files;
  files.readable = {u"C:\\a.wav", u"C:\\\u8868"};
  EXPECT_TRUE(FileExists(files, u"C:\\a.wav"));
  EXPECT_TRUE(FileExists(files, u"C:\\a.wav\\"));
  EXPECT_FALSE(FileExists(files, u"C:\\a.wav\\\\"));
  EXPECT_FALSE(FileExists(files, u"C:\\b.wav"));
  EXPECT_FALSE(FileExists(files, u""));
  EXPECT_FALSE(FileExists(files, u"\\"));
  EXPECT_TRUE(FileExists(files, u"C:\\\u8868"));
}

}  // namespace
}  // namespace qb
