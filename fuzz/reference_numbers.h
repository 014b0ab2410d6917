// Slow, independent references for the two number conversions: a regular
// expression for the grammar, the C library for the value, long double for
// the rounding. Only used by the fuzz targets.
#pragma once

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>

namespace qb::fuzz {

inline const std::regex& DecimalGrammar() {
  static const std::regex grammar(R"([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)",
                                  std::regex::ECMAScript | std::regex::optimize);
  return grammar;
}

// The stored-number conversion: plain decimal text between blanks, rounded
// down, within 16 bits.
inline std::optional<int16_t> ReferenceSettingNumber(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(" \t");
  const std::string core = text.substr(first, last - first + 1);
  if (!std::regex_match(core, DecimalGrammar())) return std::nullopt;
  const double value = std::strtod(core.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  const double down = std::floor(value);
  if (down < -32768.0 || down > 32767.0) return std::nullopt;
  return static_cast<int16_t>(down);
}

// The lenient leading-number parse, where long double is exact enough to
// judge it: nothing when the input is outside that (too many significant
// digits, or a large exponent).
inline std::optional<int32_t> ReferenceLeadingNumber(const std::string& text) {
  std::string s;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  }
  std::smatch match;
  if (!std::regex_search(s, match, DecimalGrammar(), std::regex_constants::match_continuous)) {
    return 0;
  }
  const std::string number = match.str(0);
  size_t significant = 0;
  bool leading = true;
  for (char c : number) {
    if (c < '0' || c > '9') continue;
    if (leading && c == '0') continue;
    leading = false;
    ++significant;
  }
  const size_t e = number.find_first_of("eE");
  if (e != std::string::npos) {
    const std::string exponent = number.substr(e + 1);
    const size_t digits = exponent.find_first_not_of("+-0");
    if (digits != std::string::npos && exponent.size() - digits > 2) return std::nullopt;
  }
  if (significant > 18) return std::nullopt;
  const long double value = std::strtold(number.c_str(), nullptr);
  const int previous = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const long double rounded = std::nearbyintl(value);
  std::fesetround(previous);
  if (rounded < INT32_MIN || rounded > INT32_MAX) return 0;
  return static_cast<int32_t>(rounded);
}

}  // namespace qb::fuzz
