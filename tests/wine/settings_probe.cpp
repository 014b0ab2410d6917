// The settings file as the program reads it, and as the system's profile
// functions read and write it.
//
//   settings_probe [FOLDER]
//       loads the settings the way the saver does from FOLDER (or this
//       program's own folder) and prints the four values; paths as the hex
//       bytes of their code page 932 form
//   settings_probe read FILE...
//       per file: the three values by GetPrivateProfileStringA and by the
//       program's reader; the number of values that differ as text
//   settings_probe write FILE KIND REPEAT MUSICFILE
//       WritePrivateProfileStringA three times on one copy of FILE, the
//       program's update on another; "same" or both as hex
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/texts.h"
#include "platform/win32/system_ports.h"
#include "platform/win32/wide_text.h"
#include "report.h"
#include "settings/ini_encoding.h"
#include "settings/ini_text.h"
#include "settings/settings_file.h"

namespace {

const char* const kKeys[] = {qb::texts::kKeyMusicKind, qb::texts::kKeyRepeatTrack, qb::texts::kKeyMusicFile};

// A path from the command line, which comes in the system's code page.
std::u16string ArgumentPath(const std::string& path) {
  std::wstring wide(path.size(), L'\0');
  wide.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
  return qb::Utf16(wide);
}

std::string FileBytes(const std::string& path) {
  std::string content;
  qb::Win32FileSystem files;
  files.ReadWhole(ArgumentPath(path), content);
  return content;
}

std::string Cp932Hex(const std::u16string& text) { return Hex(qb::WideToCp932Lossy(qb::Wide(text))); }

bool PutFile(const std::string& path, const std::string& content) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
  return std::fclose(f) == 0 && ok;
}

int Load(const std::u16string& folder) {
  qb::SettingsValues settings;
  qb::Win32FileSystem files;
  qb::Win32Codec codec;
  qb::LoadSettings(settings, files, codec, {folder, u""}, qb::UnreachableMusicFile::Drop);
  std::printf("MusicKind=%d\n", settings.MusicKind);
  std::printf("RepeatTrack=%d\n", settings.RepeatTrack);
  std::printf("MusicFile=%s\n", Cp932Hex(settings.MusicFile).c_str());
  std::printf("MusicFolder=%s\n", Cp932Hex(settings.MusicFolder).c_str());
  std::printf("ProgramFolder=%s\n", Cp932Hex(folder).c_str());
  return 0;
}

// Code page 932 text as UTF-16, which is how the program uses a value.
std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  std::wstring out(text.size(), L'\0');
  out.resize(::MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                   static_cast<int>(out.size())));
  return out;
}

// The system converts what it reads to UTF-16 and back, so a byte pair
// that is no character comes back as "・" and one of two codes for the
// same character as the other: such values are the same text, not the
// same bytes.
int CompareReads(int count, char** files) {
  int differing = 0;
  int bytesDiffering = 0;
  for (int i = 0; i < count; ++i) {
    qb::Win32Codec codec;
    const qb::IniFileText file(FileBytes(files[i]), codec);
    const std::string& content = file.Text();
    for (const char* key : kKeys) {
      char buffer[256] = {};
      ::GetPrivateProfileStringA(qb::texts::kIniSection, key, "", buffer, sizeof(buffer), files[i]);
      const std::string platform = buffer;
      const std::string ours = qb::IniReadValue(content, qb::texts::kIniSection, key);
      if (platform == ours) continue;
      ++bytesDiffering;
      if (Wide(platform) == Wide(ours)) continue;
      ++differing;
      std::printf("differ %s key=%s platform=%s ours=%s\n", files[i], Hex(key).c_str(), Hex(platform).c_str(),
                  Hex(ours).c_str());
    }
  }
  std::printf("read_files=%d\nread_differing=%d\nread_bytes_differing=%d\n", count, differing, bytesDiffering);
  return 0;
}

int CompareWrite(const std::string& file, const char* kind, const char* repeat, const char* musicFile) {
  const std::string original = FileBytes(file);
  const std::string platformCopy = file + ".platform";
  if (!PutFile(platformCopy, original)) return 2;
  const char* const values[] = {kind, repeat, musicFile};
  for (int i = 0; i < 3; ++i) {
    ::WritePrivateProfileStringA(qb::texts::kIniSection, kKeys[i], values[i], platformCopy.c_str());
  }
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, platformCopy.c_str());  // flush
  const std::string platform = FileBytes(platformCopy);
  qb::Win32Codec codec;
  const qb::IniFileText text(original, codec);
  std::vector<qb::IniEdit> edits;
  const std::string updated = qb::IniWithValues(
      text.Text(), qb::texts::kIniSection, {{kKeys[0], kind}, {kKeys[1], repeat}, {kKeys[2], musicFile}}, &edits);
  const std::string ours = text.FileBytes(updated, edits);
  ::DeleteFileA(platformCopy.c_str());
  if (platform == ours) {
    std::printf("write=same\n");
  } else {
    std::printf("write=differ\nplatform=%s\nours=%s\n", Hex(platform).c_str(), Hex(ours).c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "read") == 0) return CompareReads(argc - 2, argv + 2);
  if (argc == 6 && std::strcmp(argv[1], "write") == 0) return CompareWrite(argv[2], argv[3], argv[4], argv[5]);
  return Load(argc > 1 ? ArgumentPath(argv[1]) : qb::ProgramFolder());
}
