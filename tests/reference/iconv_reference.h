// The C library's own converters, as an independent reference for the
// program's code page 932 handling (unit tests and fuzz targets alike).
#pragma once

#include <iconv.h>

#include <array>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

namespace qb {

// Bytes through iconv: nothing when they do not convert whole.
inline std::optional<std::string> Iconv(const char* to, const char* from, std::string_view bytes) {
  const iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(bytes);
  std::string out(in.size() * 4 + 8, '\0');
  char* inp = in.data();
  char* outp = out.data();
  size_t inLeft = in.size();
  size_t outLeft = out.size();
  const size_t result = ::iconv(cd, &inp, &inLeft, &outp, &outLeft);
  ::iconv_close(cd);
  if (result == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

// The lead bytes of code page 932 by the converter: a lead byte alone is an
// incomplete character there (EINVAL), not a wrong one. Nothing when the C
// library has no CP932.
inline std::optional<std::array<bool, 256>> IconvCp932LeadBytes() {
  std::array<bool, 256> lead = {};
  for (int b = 0; b < 256; ++b) {
    const iconv_t cd = ::iconv_open("UTF-16LE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    char in[1] = {static_cast<char>(b)};
    char out[8];
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof(out);
    lead[b] = ::iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) && errno == EINVAL;
    ::iconv_close(cd);
  }
  return lead;
}

}  // namespace qb
