#include "app/command_line.h"

#include "platform/char_class.h"
#include "platform/cp932.h"
#include "platform/number_text.h"

namespace qb {

int32_t ParseLeadingNumber(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (!IsBlank(c) && c != '\n') s += c;
  }
  const DecimalScan number = ScanDecimal(s);
  if (number.length == 0) return 0;

  // All significant digits, and where the decimal point falls among them.
  std::string digits;
  long pointPos = 0;
  for (char c : number.integerDigits) {
    if (digits.empty() && c == '0') continue;
    digits += c;
    ++pointPos;
  }
  for (char c : number.fractionDigits) {
    if (digits.empty() && c == '0') {
      --pointPos;
    } else {
      digits += c;
    }
  }
  if (digits.empty()) return 0;

  long exponent = 0;
  for (char c : number.exponentDigits) {
    if (exponent < 100000) exponent = exponent * 10 + (c - '0');
  }
  pointPos += number.exponentNegative ? -exponent : exponent;

  // More than ten integer digits cannot fit 32 bits.
  if (pointPos > 10) return 0;

  int64_t whole = 0;
  for (long k = 0; k < pointPos; ++k) {
    const size_t idx = static_cast<size_t>(k);
    whole = whole * 10 + (idx < digits.size() ? digits[idx] - '0' : 0);
  }

  // Round the fraction: compare it with one half.
  int cmp = -1;  // fraction below one half
  if (pointPos >= 0 && static_cast<size_t>(pointPos) < digits.size()) {
    const size_t first = static_cast<size_t>(pointPos);
    const char d = digits[first];
    if (d > '5') {
      cmp = 1;
    } else if (d == '5') {
      cmp = digits.find_first_not_of('0', first + 1) == std::string::npos ? 0 : 1;
    }
  }
  if (cmp > 0 || (cmp == 0 && whole % 2 == 1)) ++whole;

  const int64_t value = number.negative ? -whole : whole;
  if (value < INT32_MIN || value > INT32_MAX) return 0;
  return static_cast<int32_t>(value);
}

int32_t PreviewHostHandle(std::string_view argumentString) {
  return ParseLeadingNumber(Cp932Tail(argumentString, 3));
}

}  // namespace qb
