// The Windows side of the core's ports.
#pragma once

#include <string>

#include "platform/ports.h"

namespace qb {

class Win32FileSystem : public FileSystem {
 public:
  bool CanOpenForReading(const std::string& path) override;
  ReadResult ReadWhole(const std::string& path, std::string& content) override;
  bool ReplaceWhole(const std::string& path, const std::string& content) override;
  bool MakeFolder(const std::string& path) override;
};

class Win32Desktop : public Desktop {
 public:
  bool WindowExists(const char* title) override;
  int32_t ShowCursor(int32_t show) override;
  void ShowMessage(const char* caption, const char* text) override;
  std::unique_ptr<ChildProcess> StartProgram(const std::string& path) override;
  void EndProcess() override;
};

class Win32Mci : public MciPort {
 public:
  uint32_t SendString(const char* command, char* reply, uint32_t capacity) override;
  bool GetErrorString(uint32_t code, char* buffer, uint32_t capacity) override;
};

class Win32Sound : public SoundPort {
 public:
  int32_t WaveOutDeviceCount() override;
  int32_t Play(const char* name, uint32_t flags) override;
};

// The folder of the running executable, without a trailing backslash except
// at a drive root ("C:\").
std::string ProgramFolder();

// The user's own settings folder (%LOCALAPPDATA%\Quillbright), or empty
// when the system names no local application data folder.
std::string UserSettingsFolder();

// The process's command line after the executable's name.
std::string ProcessArgumentString();

}  // namespace qb
