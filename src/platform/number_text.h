// Text-to-number conversion for stored and reported numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qb {

// The parts of a decimal number written at the start of a text. The views
// point into the scanned text.
struct DecimalScan {
  size_t length = 0;  // bytes the number takes; 0 when the text starts with none
  bool negative = false;
  std::string_view integerDigits;   // before the decimal point
  std::string_view fractionDigits;  // after it
  bool exponentNegative = false;
  std::string_view exponentDigits;  // empty when there is no exponent
};

// The longest decimal number at the very start of `text`: an optional sign,
// digits with an optional decimal point (a digit on at least one side of
// it), and an exponent only when 'e' or 'E', an optional sign and at least
// one digit follow. Nothing is skipped: a leading blank means no number.
DecimalScan ScanDecimal(std::string_view text);

// Plain decimal text: optional blanks around it, a sign, digits with an
// optional decimal point, an optional exponent. Anything else (hex, "inf",
// trailing letters, empty text) is not a number.
std::optional<double> TextToNumber(std::string_view text);

// TextToNumber rounded to the nearest integer (halves to even); nothing
// when the text is not a number or the rounded value lies outside
// min..max.
std::optional<int32_t> IntegerFromText(std::string_view text, int64_t min, int64_t max);

}  // namespace qb
