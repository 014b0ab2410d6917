// The settings load from arbitrary file text: whatever the file holds, the
// values come out valid (a file kind only with a file that exists, paths
// within the read limit, the folder belonging to the file) or as defaults.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "check.h"
#include "platform/program_paths.h"
#include "platform/texts.h"
#include "startup/settings.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Reads keys out of ini text roughly as the profile calls do: sections and
// keys compared without regard to ASCII case, the first key found wins,
// values trimmed.
class IniText : public qb::ProfileStore {
 public:
  explicit IniText(const std::string& text) {
    std::string section;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find_first_of("\r\n", start);
      if (end == std::string::npos) end = text.size();
      const std::string line = Trim(text.substr(start, end - start));
      start = end + 1;
      if (line.empty() || line[0] == ';') continue;
      if (line[0] == '[') {
        section = Lower(line.substr(1, line.find(']') == std::string::npos ? std::string::npos : line.find(']') - 1));
        continue;
      }
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      values_.emplace(section + "|" + Lower(Trim(line.substr(0, eq))), Trim(line.substr(eq + 1)));
    }
  }

  uint32_t GetString(const char* section, const char* key, const char* defaultValue, char* buffer,
                     uint32_t size, const std::string&) override {
    const auto found = values_.find(Lower(section) + "|" + Lower(key));
    const std::string value = found == values_.end() ? defaultValue : found->second;
    if (size == 0) return 0;
    const size_t n = std::min<size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<uint32_t>(n);
  }
  int32_t WriteString(const char*, const char*, const std::string&, const std::string&) override {
    QB_FUZZ_CHECK(false);  // loading never writes
    return 0;
  }

 private:
  std::multimap<std::string, std::string> values_;
};

// A file exists when its name ends in a letter.
class SomeFiles : public qb::FileSystem {
 public:
  bool CanOpenForReading(const std::string& path) override {
    QB_FUZZ_CHECK(!path.empty());
    const char last = path.back();
    return (last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z');
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  IniText store(text);
  SomeFiles files;
  qb::SettingsValues settings;
  const std::string folder = "C:\\Program Files\\Quillbright";
  qb::LoadSettings(settings, store, files, folder);

  QB_FUZZ_CHECK(settings.MusicFile.size() <= 255);
  QB_FUZZ_CHECK(settings.MusicKind != qb::kMusicFile || !settings.MusicFile.empty());
  QB_FUZZ_CHECK(settings.MusicFolder ==
                (settings.MusicFile.empty() ? folder : qb::FolderOfPath(settings.MusicFile)));

  // The stored numbers: the conversion's value, 0 for empty text, the
  // start value 0 for text that is not a number.
  char buffer[256];
  store.GetString(qb::texts::kIniSection, qb::texts::kKeyRepeatTrack, "", buffer, sizeof(buffer), "");
  QB_FUZZ_CHECK(settings.RepeatTrack == qb::ConvertSettingNumber(buffer).value_or(0));
  return 0;
}
