#include "platform/number_text.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/char_class.h"

namespace qb {

namespace {

bool IsSign(char c) { return c == '+' || c == '-'; }

size_t SkipDigits(std::string_view s, size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

}  // namespace

DecimalScan ScanDecimal(std::string_view text) {
  DecimalScan scan;
  size_t i = 0;
  if (i < text.size() && IsSign(text[i])) scan.negative = text[i++] == '-';

  const size_t integerStart = i;
  i = SkipDigits(text, i);
  scan.integerDigits = text.substr(integerStart, i - integerStart);
  if (i < text.size() && text[i] == '.') {
    const size_t fractionStart = ++i;
    i = SkipDigits(text, i);
    scan.fractionDigits = text.substr(fractionStart, i - fractionStart);
  }
  if (scan.integerDigits.empty() && scan.fractionDigits.empty()) return {};

  // "1e" and "1e+" are the number 1 followed by other text.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    bool exponentNegative = false;
    if (j < text.size() && IsSign(text[j])) exponentNegative = text[j++] == '-';
    const size_t exponentStart = j;
    j = SkipDigits(text, j);
    if (j > exponentStart) {
      scan.exponentNegative = exponentNegative;
      scan.exponentDigits = text.substr(exponentStart, j - exponentStart);
      i = j;
    }
  }
  scan.length = i;
  return scan;
}

std::optional<double> TextToNumber(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  const std::string_view trimmed = text.substr(begin, end - begin);
  const DecimalScan scan = ScanDecimal(trimmed);
  if (scan.length == 0 || scan.length != trimmed.size()) return std::nullopt;
  const double value = std::strtod(std::string(trimmed).c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int32_t> IntegerFromText(std::string_view text, int64_t min, int64_t max) {
  const std::optional<double> number = TextToNumber(text);
  if (!number) return std::nullopt;
  // nearbyint rounds half to even in the default rounding mode.
  const double rounded = std::nearbyint(*number);
  if (rounded < static_cast<double>(min) || rounded > static_cast<double>(max)) {
    return std::nullopt;
  }
  return static_cast<int32_t>(rounded);
}

}  // namespace qb
