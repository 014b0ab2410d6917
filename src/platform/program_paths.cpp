#include "platform/program_paths.h"

#include "platform/cp932.h"
#include "platform/texts.h"
#include "platform/utf16.h"

namespace qb {

std::u16string ArgumentString(std::u16string_view commandLine) {
  const auto isBlank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  size_t i = 0;
  // The program name runs to the closing quote when quoted, otherwise to the
  // first blank; a quoted part may run straight into more name characters.
  bool quoted = false;
  while (i < commandLine.size()) {
    const char16_t c = commandLine[i];
    if (c == u'"') {
      quoted = !quoted;
    } else if (!quoted && isBlank(c)) {
      break;
    }
    ++i;
  }
  while (i < commandLine.size() && isBlank(commandLine[i])) ++i;
  return std::u16string(commandLine.substr(i));
}

std::string ModeLetter(std::string_view argumentString) {
  return AsciiUpper(Cp932CharAt(argumentString, 1));
}

std::u16string FolderOfPath(std::u16string_view path) {
  const size_t last = path.find_last_of(u":\\");
  std::u16string s(path.substr(0, last == std::u16string_view::npos ? 0 : last + 1));
  if (!s.empty() && s.back() == u'\\') s.pop_back();
  return s;
}

bool FileExists(FileSystem& files, std::u16string path) {
  if (!path.empty() && path.back() == u'\\') path.pop_back();
  if (path.empty()) return false;
  return files.CanOpenForReading(path);
}

namespace {

bool IsSlash(char16_t c) { return c == u'\\' || c == u'/'; }

char16_t AsciiUpper16(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool SameLetters(std::u16string_view text, std::u16string_view upper) {
  if (text.size() != upper.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (AsciiUpper16(text[i]) != upper[i]) return false;
  }
  return true;
}

// A part of a path as the system reads it: trailing dots and spaces go.
std::u16string_view Trimmed(std::u16string_view part) {
  while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.remove_suffix(1);
  return part;
}

// True for a part that Windows takes as a DOS device whatever folder it is
// in: the name up to its first dot or colon, trailing spaces dropped, is
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, or COM or LPT with one digit (0-9,
// or the superscripts 1, 2 and 3, which the system counts as digits there).
bool IsDeviceName(std::u16string_view part) {
  std::u16string_view name = part.substr(0, part.find_first_of(u".:"));
  while (!name.empty() && name.back() == u' ') name.remove_suffix(1);
  for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
    if (SameLetters(name, device)) return true;
  }
  if (name.size() != 4 || !(SameLetters(name.substr(0, 3), u"COM") || SameLetters(name.substr(0, 3), u"LPT"))) {
    return false;
  }
  const char16_t digit = name[3];
  return (digit >= u'0' && digit <= u'9') || digit == u'\u00b9' || digit == u'\u00b2' || digit == u'\u00b3';
}

}  // namespace

bool IsMusicPath(std::u16string_view path) {
  if (path.empty()) return false;
  for (char16_t c : path) {
    if (c < 0x20 || c == u'"') return false;
  }
  const bool unc = path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
  // \\.\ and \\?\ (\\?\UNC\ and \\?\GLOBALROOT included), and \??\.
  if (path.size() >= 3 && (path.size() == 3 || IsSlash(path[3])) &&
      ((unc && (path[2] == u'.' || path[2] == u'?')) ||
       (IsSlash(path[0]) && path[1] == u'?' && path[2] == u'?'))) {
    return false;
  }
  // The parts between separators; a drive's "C:" is no part of the name.
  size_t start = path.size() >= 2 && path[1] == u':' ? 2 : 0;
  int index = 0;
  while (start < path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSlash(path[end])) ++end;
    const std::u16string_view part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    if (IsDeviceName(part)) return false;
    if (unc) {
      // On a server, its "pipe" and "IPC$" shares reach named pipes; a "."
      // or ".." could lead there after the name is read.
      const std::u16string_view trimmed = Trimmed(part);
      // A server name beginning with ";" names a redirector
      // (\\;LanmanRedirector\server\share), which moves the share one part on.
      if (trimmed.empty() || (index == 0 && trimmed[0] == u';') ||
          (index == 1 && (SameLetters(trimmed, u"PIPE") || SameLetters(trimmed, u"IPC$")))) {
        return false;
      }
    }
    ++index;
  }
  return true;
}

std::u16string CompanionPathOf(const std::u16string& programFolder) {
  return programFolder + WidenAscii(texts::kCompanionSuffix);
}

std::u16string SettingsFilePath(const std::u16string& folder) {
  return folder + WidenAscii(texts::kIniFileSuffix);
}

}  // namespace qb
