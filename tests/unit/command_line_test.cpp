#include "app/command_line.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/program_paths.h"
#include "platform/utf16.h"

namespace qb {
namespace {

TEST(ModeLetter, IsTheSecondCharacterUpperCased) {
  const struct {
    const char* args;
    const char* letter;
  } cases[] = {
      {"/s", "S"}, {"/S", "S"}, {"-s", "S"}, {"/s 99", "S"}, {"/s:123", "S"},
      {"/p 1234", "P"}, {"/P:1234", "P"}, {"/c", "C"}, {"/C", "C"}, {"/c:5678", "C"},
      {"/a", "A"}, {"/x", "X"}, {"S", ""}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ModeLetter(c.args), c.letter) << c.args;
  // A double-byte first character is one character.
  EXPECT_EQ(ModeLetter("\x81\x5Es"), "S");
}

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsAnywhere) {
  EXPECT_EQ(ParseLeadingNumber("1234"), 1234);
  EXPECT_EQ(ParseLeadingNumber("  12 34 "), 1234);
  EXPECT_EQ(ParseLeadingNumber("\t1\n2\t3"), 123);
  EXPECT_EQ(ParseLeadingNumber("- 42"), -42);
  EXPECT_EQ(ParseLeadingNumber("0001234"), 1234);
}

TEST(LeadingNumber, StopsAtTheFirstCharacterThatCannotContinue) {
  EXPECT_EQ(ParseLeadingNumber("12ab34"), 12);
  EXPECT_EQ(ParseLeadingNumber("12\r34"), 12);  // only blanks, tabs and line feeds are skipped
  EXPECT_EQ(ParseLeadingNumber("1.5.5"), 2);
  EXPECT_EQ(ParseLeadingNumber("7e"), 7);
  EXPECT_EQ(ParseLeadingNumber("7e+"), 7);
  EXPECT_EQ(ParseLeadingNumber("2e3"), 2000);
  EXPECT_EQ(ParseLeadingNumber("25e-1"), 2);
}

TEST(LeadingNumber, TextWithoutALeadingNumberGivesZero) {
  for (const char* text : {"", "abc", "-", "+", ".", " . ", "x12", "&H10", "e5"}) {
    EXPECT_EQ(ParseLeadingNumber(text), 0) << text;
  }
}

TEST(LeadingNumber, RoundsHalvesToEven) {
  EXPECT_EQ(ParseLeadingNumber("0.5"), 0);
  EXPECT_EQ(ParseLeadingNumber("1.5"), 2);
  EXPECT_EQ(ParseLeadingNumber("2.5"), 2);
  EXPECT_EQ(ParseLeadingNumber("-2.5"), -2);
  EXPECT_EQ(ParseLeadingNumber("-3.5"), -4);
  EXPECT_EQ(ParseLeadingNumber("2.50000000000000000001"), 3);  // beyond double precision
  EXPECT_EQ(ParseLeadingNumber("2.4999999"), 2);
  EXPECT_EQ(ParseLeadingNumber(".6"), 1);
  EXPECT_EQ(ParseLeadingNumber("0.05"), 0);
}

TEST(LeadingNumber, OutsideThe32BitRangeGivesZero) {
  EXPECT_EQ(ParseLeadingNumber("2147483647"), 2147483647);
  EXPECT_EQ(ParseLeadingNumber("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseLeadingNumber("2147483648"), 0);
  EXPECT_EQ(ParseLeadingNumber("2147483647.5"), 0);  // rounds up past the top
  EXPECT_EQ(ParseLeadingNumber("-2147483648.5"), INT32_MIN);  // rounds to even, stays in range
  EXPECT_EQ(ParseLeadingNumber("99999999999999999999"), 0);
  EXPECT_EQ(ParseLeadingNumber("1e99999999999999"), 0);
  EXPECT_EQ(ParseLeadingNumber("1e-99999999999999"), 0);
}

TEST(PreviewHostHandle, ReadsFromTheFourthCharacter) {
  EXPECT_EQ(PreviewHostHandle("/p 1234"), 1234);
  EXPECT_EQ(PreviewHostHandle("/P:1234"), 1234);
  EXPECT_EQ(PreviewHostHandle("/p91234"), 1234);  // the third character is skipped whatever it is
  EXPECT_EQ(PreviewHostHandle("/p"), 0);
  EXPECT_EQ(PreviewHostHandle("/p "), 0);
  EXPECT_EQ(PreviewHostHandle("/p abc"), 0);
}

// Random and overlong command lines: the parsers never misbehave (the
// sanitizers catch any out-of-range access), and numbers written plainly,
// with blanks sprinkled in, come back unchanged.
TEST(CommandLineProperties, RandomInputIsHandledAndPlainNumbersRoundTrip) {
  std::mt19937 rng(12345);
  const std::string alphabet = " \t\n\r\"/-+.eE0123456789abcSPC:\x81\x95\x5C\xE0\xFC\xFF";
  for (int round = 0; round < 20000; ++round) {
    std::string text(rng() % 64, ' ');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    EXPECT_LE(ArgumentString(WidenAscii(text)).size(), text.size());
    EXPECT_LE(ModeLetter(text).size(), 2u);
    (void)PreviewHostHandle(text);
    (void)ParseLeadingNumber(text);
  }

  std::uniform_int_distribution<int64_t> value(INT32_MIN, INT32_MAX);
  for (int round = 0; round < 20000; ++round) {
    const int32_t n = static_cast<int32_t>(value(rng));
    std::string text;
    for (char c : std::to_string(n)) {
      if (rng() % 4 == 0) text += " \t\n"[rng() % 3];
      text += c;
    }
    ASSERT_EQ(ParseLeadingNumber(text), n) << text;
  }

  const std::string overlong(1 << 20, '7');
  EXPECT_EQ(ParseLeadingNumber(overlong), 0);
  EXPECT_EQ(ModeLetter(NarrowAscii(ArgumentString(WidenAscii("x.scr /s" + overlong)))), "S");
}

}  // namespace
}  // namespace qb
