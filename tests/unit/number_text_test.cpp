#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "app/command_line.h"

namespace qb {
namespace {

// The scan as one line, so a case reads at a glance:
// length|sign integer.fraction e sign exponent
std::string Parts(std::string_view text) {
  const DecimalScan s = ScanDecimal(text);
  std::string out = std::to_string(s.length) + "|" + (s.negative ? "-" : "+");
  out += std::string(s.integerDigits) + "." + std::string(s.fractionDigits);
  if (!s.exponentDigits.empty()) {
    out += std::string("e") + (s.exponentNegative ? "-" : "+") + std::string(s.exponentDigits);
  }
  return out;
}

TEST(ScanDecimal, TakesTheLongestLeadingNumber) {
  EXPECT_EQ(Parts("42"), "2|+42.");
  EXPECT_EQ(Parts("-12.50x"), "6|-12.50");
  EXPECT_EQ(Parts("+.5e1"), "5|+.5e+1");
  EXPECT_EQ(Parts("1."), "2|+1.");
  EXPECT_EQ(Parts("007.0E-03;"), "9|+007.0e-03");
  EXPECT_EQ(Parts("1.5.5"), "3|+1.5");
  EXPECT_EQ(Parts("1.5e-1x"), "6|+1.5e-1");
}

TEST(ScanDecimal, AnExponentCountsOnlyWithDigits) {
  EXPECT_EQ(Parts("1e"), "1|+1.");
  EXPECT_EQ(Parts("1e+"), "1|+1.");
  EXPECT_EQ(Parts("1E-x"), "1|+1.");
  EXPECT_EQ(Parts("1ee5"), "1|+1.");
  EXPECT_EQ(Parts("2e+07"), "5|+2.e+07");
}

TEST(ScanDecimal, NoDigitMeansNoNumber) {
  for (const char* text : {"", ".", "+", "-", "+.", "-.e5", "e5", "x1", " 1", "--1", "+-1"}) {
    const DecimalScan s = ScanDecimal(text);
    EXPECT_EQ(s.length, 0u) << text;
    EXPECT_FALSE(s.negative) << text;
    EXPECT_TRUE(s.integerDigits.empty() && s.fractionDigits.empty()) << text;
  }
}

// The settings reader wants the whole trimmed text to be a number; the
// command line takes whatever number leads, without blanks. Both rest on
// the one scanner, so these cases pin where they must part ways.
TEST(DecimalUses, WholeTextAndLeadingNumberDifferOnlyWhereMeant) {
  const struct {
    const char* text;
    std::optional<double> whole;
    int32_t leading;
  } cases[] = {
      {"1e", std::nullopt, 1},      {"1e+", std::nullopt, 1},   {".", std::nullopt, 0},
      {"+.5e1", 5.0, 5},            {" 2.5 ", 2.5, 2},          {"1.5e-1x", std::nullopt, 0},
      {"1.", 1.0, 1},               {"-0", 0.0, 0},             {"5e-1", 0.5, 0},
      {"1.5E+1", 15.0, 15},         {"1 2", std::nullopt, 12},  {"\t7\t", 7.0, 7},
      {"3\n", std::nullopt, 3},     {"e5", std::nullopt, 0},    {"--1", std::nullopt, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextToNumber(c.text), c.whole) << '"' << c.text << '"';
    EXPECT_EQ(ParseLeadingNumber(c.text), c.leading) << '"' << c.text << '"';
  }
}

// On short texts without blanks, whenever the whole text is a number the
// leading-number parse reads all of it and rounds it the same way.
TEST(DecimalUses, AgreeOnRandomShortNumbers) {
  std::mt19937 rng(2024);
  const std::string alphabet = "+-.eE0123456789";
  int numbers = 0;
  for (int round = 0; round < 50000; ++round) {
    std::string text(1 + rng() % 8, ' ');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    const DecimalScan scan = ScanDecimal(text);
    const std::optional<double> whole = TextToNumber(text);
    ASSERT_LE(scan.length, text.size());
    if (!whole) {
      // Only an exponent too large for a double makes a complete scan fail.
      if (scan.length == text.size()) {
        ASSERT_GE(scan.exponentDigits.size(), 3u) << text;
      }
      continue;
    }
    ++numbers;
    ASSERT_EQ(scan.length, text.size()) << text;
    if (std::fabs(*whole) >= 2e9) continue;
    ASSERT_EQ(ParseLeadingNumber(text), static_cast<int32_t>(std::nearbyint(*whole))) << text;
  }
  EXPECT_GT(numbers, 1000);  // the alphabet does make numbers often enough
}

}  // namespace
}  // namespace qb
