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

bool IsMusicPath(std::u16string_view path) {
  if (path.empty()) return false;
  const auto slash = [](char16_t c) { return c == u'\\' || c == u'/'; };
  if (path.size() >= 3 && (path.size() == 3 || slash(path[3])) &&
      ((slash(path[0]) && slash(path[1]) && (path[2] == u'.' || path[2] == u'?')) ||
       (slash(path[0]) && path[1] == u'?' && path[2] == u'?'))) {
    return false;
  }
  for (char16_t c : path) {
    if (c < 0x20 || c == u'"') return false;
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
