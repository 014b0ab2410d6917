// How the Win32 test helpers report: key=value lines on stdout, flushed at
// once (the scripts read them while the helper may still run), with bytes,
// numbers and rectangles in fixed forms.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// Bytes as lower-case hex, for printing code page 932 text unambiguously.
inline std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

inline std::string HexOf(unsigned long value) {
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "%08lx", value);
  return buffer;
}

inline std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

inline void Print(const char* key, const std::string& value) {
  std::printf("%s=%s\n", key, value.c_str());
  std::fflush(stdout);
}

inline void Print(const char* key, long long value) { Print(key, std::to_string(value)); }
