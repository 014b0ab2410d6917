#include "startup/command_line.h"

#include "platform/cp932.h"

namespace qb {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string ArgumentString(std::string_view commandLine) {
  size_t i = 0;
  // The program name runs to the closing quote when quoted, otherwise to the
  // first blank; a quoted part may run straight into more name characters.
  bool quoted = false;
  while (i < commandLine.size()) {
    const char c = commandLine[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    }
    ++i;
  }
  while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
  return std::string(commandLine.substr(i));
}

std::string ModeLetter(std::string_view argumentString) {
  return AsciiUpper(Cp932CharAt(argumentString, 1));
}

int32_t ParseLeadingNumber(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  }

  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  // All significant digits, and where the decimal point falls among them.
  std::string digits;
  long pointPos = 0;
  bool sawDigit = false;
  while (i < s.size() && IsDigit(s[i])) {
    sawDigit = true;
    if (!(digits.empty() && s[i] == '0')) {
      digits += s[i];
      ++pointPos;
    }
    ++i;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) {
      sawDigit = true;
      if (digits.empty() && s[i] == '0') {
        --pointPos;
      } else {
        digits += s[i];
      }
      ++i;
    }
  }
  if (!sawDigit || digits.empty()) return 0;

  if (i + 1 < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    bool expNegative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) expNegative = s[j++] == '-';
    if (j < s.size() && IsDigit(s[j])) {
      long exponent = 0;
      for (; j < s.size() && IsDigit(s[j]); ++j) {
        if (exponent < 100000) exponent = exponent * 10 + (s[j] - '0');
      }
      pointPos += expNegative ? -exponent : exponent;
    }
  }

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

  const int64_t value = negative ? -whole : whole;
  if (value < INT32_MIN || value > INT32_MAX) return 0;
  return static_cast<int32_t>(value);
}

int32_t PreviewHostHandle(std::string_view argumentString) {
  return ParseLeadingNumber(Cp932Tail(argumentString, 3));
}

}  // namespace qb
