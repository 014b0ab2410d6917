// Character-wise access to code page 932 (Shift-JIS) text. A lead byte and
// the byte after it form one character; everything else is one byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

inline bool Cp932IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Byte offsets at which the characters of `text` start.
std::vector<size_t> Cp932CharStarts(std::string_view text);

// The character at 0-based character index `index`, or empty text when there
// are not that many characters.
std::string Cp932CharAt(std::string_view text, size_t index);

// From character index `index` to the end (empty when past the end).
std::string Cp932Tail(std::string_view text, size_t index);

// The last `count` characters (the whole text when it is shorter).
std::string Cp932Last(std::string_view text, size_t count);

// At most `maxBytes` bytes of `text`, never ending on half a character.
std::string Cp932Truncate(std::string_view text, size_t maxBytes);

// Upper-cases ASCII letters only; other bytes, including both halves of a
// double-byte character, are left as they are.
std::string AsciiUpper(std::string_view text);

}  // namespace qb
