#include "platform/program_paths.h"

#include "platform/char_class.h"
#include "platform/cp932.h"
#include "platform/texts.h"

namespace qb {

std::string ArgumentString(std::string_view commandLine) {
  size_t i = 0;
  // The program name runs to the closing quote when quoted, otherwise to the
  // first blank; a quoted part may run straight into more name characters.
  bool quoted = false;
  while (i < commandLine.size()) {
    const char c = commandLine[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    }
    ++i;
  }
  while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
  return std::string(commandLine.substr(i));
}

std::string ModeLetter(std::string_view argumentString) {
  return AsciiUpper(Cp932CharAt(argumentString, 1));
}

std::string FolderOfPath(std::string_view path) {
  // Walk by characters: the second byte of a double-byte character may have
  // the value of a backslash.
  size_t p = 0;
  for (size_t start : Cp932CharStarts(path)) {
    if (path[start] == ':' || path[start] == '\\') p = start + 1;
  }
  std::string s(path.substr(0, p));
  if (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

bool FileExists(FileSystem& files, std::string path) {
  if (Cp932Last(path, 1) == "\\") path.pop_back();
  if (path.empty()) return false;
  return files.CanOpenForReading(path);
}

std::string CompanionPathOf(const std::string& programFolder) {
  return programFolder + texts::kCompanionSuffix;
}

std::string SettingsFilePath(const std::string& programFolder) {
  return programFolder + texts::kIniFileSuffix;
}

}  // namespace qb
