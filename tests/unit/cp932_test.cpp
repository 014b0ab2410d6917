#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

// "表" is 95 5C in code page 932: its second byte has the value of '\'.
const std::string kHyo = "\x95\x5C";

TEST(Cp932, CharactersSpanLeadAndTrailByte) {
  const std::string text = "a" + kHyo + "b";
  EXPECT_EQ(Cp932CharStarts(text), (std::vector<size_t>{0, 1, 3}));
  EXPECT_EQ(Cp932CharAt(text, 1), kHyo);
  EXPECT_EQ(Cp932CharAt(text, 2), "b");
  EXPECT_EQ(Cp932CharAt(text, 3), "");
  EXPECT_EQ(Cp932Tail(text, 2), "b");
  EXPECT_EQ(Cp932Last(text, 2), kHyo + "b");
  EXPECT_EQ(Cp932Last(text, 9), text);
  EXPECT_EQ(Cp932Last(text, 0), "");  // once read one element past the starts
  EXPECT_EQ(Cp932Last("", 0), "");
  // A lone lead byte at the end is one character of its own.
  EXPECT_EQ(Cp932CharStarts("a\x95"), (std::vector<size_t>{0, 1}));
}

TEST(Cp932, TruncateNeverSplitsACharacter) {
  const std::string text = "ab" + kHyo + "c";
  EXPECT_EQ(Cp932Truncate(text, 10), text);
  EXPECT_EQ(Cp932Truncate(text, 4), "ab" + kHyo);
  EXPECT_EQ(Cp932Truncate(text, 3), "ab");
  EXPECT_EQ(Cp932Truncate(text, 0), "");
}

TEST(Cp932, UpperCasesAsciiLettersOnly) {
  // 83 61 is "ャ": its trail byte 'a' must stay as it is.
  EXPECT_EQ(AsciiUpper("wav\x83\x61x"), "WAV\x83\x61X");
  EXPECT_EQ(AsciiUpper("\xB1z"), "\xB1Z");  // half-width kana is single-byte
}

}  // namespace
}  // namespace qb
