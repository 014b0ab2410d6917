// The settings file from arbitrary text: loading gives valid values or the
// defaults (a file kind only with a file that exists, paths within the
// read limit, the folder belonging to the file); a save, read back, gives
// the values written, changes no line but those of the three keys, leaves
// other sections' values alone, and changes nothing when repeated; a file
// written back unchanged keeps its bytes.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "check.h"
#include "fuzz_input.h"
#include "platform/cp932.h"
#include "platform/program_paths.h"
#include "platform/texts.h"
#include "settings/ini_encoding.h"
#include "settings/ini_text.h"
#include "settings/settings_file.h"

namespace {

const char* const kKeys[] = {qb::texts::kKeyMusicKind, qb::texts::kKeyRepeatTrack, qb::texts::kKeyMusicFile};

// One settings file beside the program; a file exists when its name ends
// in a letter.
class OneFile : public qb::FileSystem {
 public:
  explicit OneFile(std::string text) : text_(std::move(text)) {}
  bool CanOpenForReading(const std::u16string& path) override {
    QB_FUZZ_CHECK(!path.empty());
    const char last = path.back();
    return (last >= 'a' && last <= 'z') || (last >= 'A' && last <= 'Z');
  }
  ReadResult ReadWhole(const std::u16string&, std::string& content) override {
    content = text_;
    return ReadResult::Read;
  }
  bool ReplaceWhole(const std::u16string&, const std::string&) override { return false; }
  bool MakeFolder(const std::u16string&) override { return false; }
  std::optional<std::u16string> ShortPath(const std::u16string&) override { return std::nullopt; }

 private:
  std::string text_;
};

// Each byte one character: enough for what loading promises of a path.
class ByteCodec : public qb::Cp932Codec {
 public:
  std::u16string ToUtf16(std::string_view bytes) override {
    std::u16string out;
    for (unsigned char c : bytes) out += static_cast<char16_t>(c);
    return out;
  }
  std::optional<std::string> FromUtf16(std::u16string_view) override { return std::nullopt; }
};

// The lines of a text, split at CR LF, CR or LF (so a final line end gives
// an empty last line); a lead byte takes the byte after it along, as the
// reader does.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size();) {
    const bool pair = qb::Cp932IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                      text[i + 1] != '\0';
    if (!pair && (text[i] == '\r' || text[i] == '\n')) {
      i += text.compare(i, 2, "\r\n") == 0 ? 2 : 1;
      lines.emplace_back();
      continue;
    }
    lines.back().append(text, i, pair ? 2 : 1);
    i += pair ? 2 : 1;
  }
  return lines;
}

// A line as a reader sees it: a lead byte with no trail byte after it, or
// with one that is none, is "・", and a NUL ends the line.
std::string AsRead(const std::string& line) {
  std::string out;
  for (size_t i = 0; i < line.size() && line[i] != '\0';) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (!qb::Cp932IsLeadByte(c)) {
      out += line[i++];
      continue;
    }
    const auto t = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0;
    const bool trail = (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC);
    out += trail ? line.substr(i, 2) : std::string("\x81\x45");
    i += t != 0 ? 2 : 1;
  }
  return out;
}

bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

// A line the save may have written: one of the three keys, or the section.
bool MayBeWritten(const std::string& line) {
  size_t begin = 0;
  while (begin < line.size() && IsBlank(line[begin])) ++begin;
  if (line.compare(begin, std::string::npos, "[Section]") == 0) return true;
  std::string name = line.substr(begin, line.find('=') == std::string::npos ? std::string::npos
                                                                            : line.find('=') - begin);
  while (!name.empty() && IsBlank(name.back())) name.pop_back();
  for (const char* key : kKeys) {
    if (qb::AsciiUpper(name) == qb::AsciiUpper(key)) return true;
  }
  return false;
}

std::vector<std::string> Unwritten(const std::string& text) {
  std::vector<std::string> out;
  for (const std::string& line : Lines(text)) {
    const std::string read = AsRead(line);
    if (!MayBeWritten(read)) out.push_back(read);
  }
  // Lines added at the end leave the file's blank last lines inside it.
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

// A path the dialog could hand over: a drive, letters, digits and a
// Japanese character or two, never ending in a blank.
std::string MusicPath(qb::fuzz::Input& input) {
  std::string path = "C:\\";
  const std::string bytes = input.Bytes(60);
  for (unsigned char c : bytes) {
    if (c % 7 == 0) {
      path += "\x89\xB9\\";  // "音" then a backslash
    } else {
      path += static_cast<char>('a' + c % 26);
    }
  }
  return path + ".wav";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  qb::fuzz::Input input(data, size);
  const std::string kind = std::to_string(static_cast<int16_t>(input.Byte() | (input.Byte() << 8)));
  const std::string repeat = std::to_string(static_cast<int8_t>(input.Byte()));
  const std::string music = MusicPath(input);
  const std::string text = input.Rest();

  OneFile files(text);
  qb::SettingsValues settings;
  ByteCodec codec;
  const qb::SettingsPlaces places{u"C:\\Program Files\\Quillbright", u""};
  qb::LoadSettings(settings, files, codec, places, qb::UnreachableMusicFile::Drop);
  QB_FUZZ_CHECK(settings.MusicFile.size() <= 255);
  QB_FUZZ_CHECK(settings.MusicKind != qb::kMusicFile || !settings.MusicFile.empty());
  QB_FUZZ_CHECK(settings.MusicFolder ==
                (settings.MusicFile.empty() ? places.programFolder : qb::FolderOfPath(settings.MusicFile)));
  // The stored numbers: the conversion's value, 0 for empty text, the
  // start value 0 for text that is not a number.
  const qb::IniFileText file(text, codec);
  const std::string storedRepeat =
      qb::IniReadValue(file.Text(), qb::texts::kIniSection, qb::texts::kKeyRepeatTrack);
  QB_FUZZ_CHECK(settings.RepeatTrack == qb::ConvertSettingNumber(storedRepeat).value_or(0));

  const std::vector<qb::IniSetting> saved = {{kKeys[0], kind}, {kKeys[1], repeat}, {kKeys[2], music}};
  const std::string after = qb::IniWithValues(text, qb::texts::kIniSection, saved);
  for (const qb::IniSetting& setting : saved) {
    QB_FUZZ_CHECK(qb::IniReadValue(after, qb::texts::kIniSection, setting.key) == setting.value);
    QB_FUZZ_CHECK(qb::IniReadValue(after, "Other", setting.key) == qb::IniReadValue(text, "Other", setting.key));
  }
  QB_FUZZ_CHECK(Unwritten(after) == Unwritten(text));
  QB_FUZZ_CHECK(Lines(after).size() <= Lines(text).size() + 5);  // a header, three keys, a line end
  QB_FUZZ_CHECK(qb::IniWithValues(after, qb::texts::kIniSection, saved) == after);
  // A file written back unchanged keeps its bytes, UTF-16 or not.
  QB_FUZZ_CHECK(file.FileBytes(file.Text()) == text);
  return 0;
}
