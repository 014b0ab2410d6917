// The few character classes the text parsers share. Only ASCII counts: the
// bytes of a double-byte character are never blanks or digits.
#pragma once

namespace qb {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace qb
