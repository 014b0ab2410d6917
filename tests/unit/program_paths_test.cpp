#include "platform/program_paths.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(ArgumentString, SkipsTheProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ(ArgumentString("\"C:\\Program Files\\Q\\Quillbright.scr\" /s"), "/s");
  EXPECT_EQ(ArgumentString("C:\\WINDOWS\\Quillbright.scr /p 1234"), "/p 1234");
  EXPECT_EQ(ArgumentString("Quillbright.scr \t  /c:5678"), "/c:5678");
  EXPECT_EQ(ArgumentString("\"C:\\a b\\Quillbright.scr\""), "");
  EXPECT_EQ(ArgumentString("Quillbright.scr"), "");
  EXPECT_EQ(ArgumentString(""), "");
  // Blanks inside the arguments are kept.
  EXPECT_EQ(ArgumentString("x.scr /s  99"), "/s  99");
}

TEST(FolderOfPath, IsTheTextBeforeTheLastColonOrBackslash) {
  EXPECT_EQ(FolderOfPath("C:\\Music\\a.mp3"), "C:\\Music");
  EXPECT_EQ(FolderOfPath("C:\\a.mp3"), "C:");
  EXPECT_EQ(FolderOfPath("C:a.mp3"), "C:");
  EXPECT_EQ(FolderOfPath("\\\\server\\share\\dir\\a.wav"), "\\\\server\\share\\dir");
  EXPECT_EQ(FolderOfPath("a.mp3"), "");
  EXPECT_EQ(FolderOfPath(""), "");
  EXPECT_EQ(FolderOfPath("C:\\Music\\"), "C:\\Music");
  // "表" (95 5C) ends in a byte that is not a backslash character.
  EXPECT_EQ(FolderOfPath("C:\\\x95\x5C.mp3"), "C:");
  EXPECT_EQ(FolderOfPath("C:\\\x95\x5C\\a.mp3"), "C:\\\x95\x5C");
}

}  // namespace
}  // namespace qb
