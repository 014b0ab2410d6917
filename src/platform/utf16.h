// UTF-16 text, as the program keeps paths and hands text to the wide entry
// points. Only ASCII is converted here; code page 932 goes through the
// Cp932Codec port, as the system converts it.
#pragma once

#include <string>
#include <string_view>

namespace qb {

// ASCII text as UTF-16; a byte outside ASCII becomes U+FFFD.
inline std::u16string WidenAscii(std::string_view ascii) {
  std::u16string out;
  out.reserve(ascii.size());
  for (char c : ascii) {
    const auto byte = static_cast<unsigned char>(c);
    out += byte < 0x80 ? static_cast<char16_t>(byte) : u'\uFFFD';
  }
  return out;
}

// UTF-16 text whose characters are ASCII as bytes; any other becomes '?'.
inline std::string NarrowAscii(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace qb
