// Loads the settings the way the saver does, from the folder given as the
// only argument (or this program's own folder), and prints the four values.
// Paths are printed as hex bytes: they are code page 932 text.
#include <cstdio>
#include <string>

#include "report.h"
#include "platform/win32/system_ports.h"
#include "startup/settings.h"

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : qb::ProgramFolder();
  qb::SettingsValues settings;
  qb::Win32ProfileStore profile;
  qb::Win32FileSystem files;
  qb::LoadSettings(settings, profile, files, folder);
  std::printf("MusicKind=%d\n", settings.MusicKind);
  std::printf("RepeatTrack=%d\n", settings.RepeatTrack);
  std::printf("MusicFile=%s\n", Hex(settings.MusicFile).c_str());
  std::printf("MusicFolder=%s\n", Hex(settings.MusicFolder).c_str());
  std::printf("ProgramFolder=%s\n", Hex(folder).c_str());
  return 0;
}
