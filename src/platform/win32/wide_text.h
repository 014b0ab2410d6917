// Text at the wide entry points. The program's own texts and its settings
// file are code page 932 bytes: they are converted by code page 932
// explicitly, never through the system's code page, so that every Windows
// shows and reads them alike. Paths are UTF-16 all along.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qb {

constexpr UINT kTextCodePage = 932;

inline std::wstring Cp932ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring out(static_cast<size_t>(size), L'\0');
  out.resize(static_cast<size_t>(::MultiByteToWideChar(kTextCodePage, 0, text.data(), size, out.data(), size)));
  return out;
}

// Nothing when a character has no code page 932 form: no look-alike (é for
// e) is put in its place.
inline std::optional<std::string> WideToCp932(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  std::string out(static_cast<size_t>(size) * 2, '\0');
  BOOL lost = FALSE;
  const int written = ::WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(),
                                            static_cast<int>(out.size()), nullptr, &lost);
  if (written <= 0 || lost) return std::nullopt;
  out.resize(static_cast<size_t>(written));
  return out;
}

// For text only the program reads (numbers typed in a box, MCI replies):
// a character without a code page 932 form becomes '?'.
inline std::string WideToCp932Lossy(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::string out(static_cast<size_t>(size) * 2, '\0');
  const int written = ::WideCharToMultiByte(kTextCodePage, 0, text.data(), size, out.data(),
                                            static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return out;
}

// The core keeps UTF-16 as char16_t; Windows' wchar_t is the same 16 bits.
inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string Utf16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace qb
