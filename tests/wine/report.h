// How the Win32 test helpers report: key=value lines on stdout, flushed at
// once (the scripts read them while the helper may still run), with bytes,
// numbers and rectangles in fixed forms.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

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

inline std::wstring WideFromUtf8(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  out.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       out.data(), static_cast<int>(out.size()))));
  return out;
}

inline std::string Utf8FromWide(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

// The command line's arguments in UTF-8, exactly as given, whatever the
// system's code page (main's argv comes through it). Keep it alive while
// argv is in use.
class Utf8Arguments {
 public:
  Utf8Arguments() {
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
      for (int i = 0; i < count; ++i) texts_.push_back(Utf8FromWide(wide[i]));
      ::LocalFree(wide);
    }
    for (std::string& text : texts_) pointers_.push_back(text.data());
    pointers_.push_back(nullptr);
  }
  int Count() const { return static_cast<int>(texts_.size()); }
  char** Values() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};
