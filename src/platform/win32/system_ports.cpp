#include "platform/win32/system_ports.h"

#include <windows.h>

#include <vector>

#include "platform/program_paths.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_dlls.h"

namespace qb {

uint32_t Win32ProfileStore::GetString(const char* section, const char* key,
                                      const char* defaultValue, char* buffer, uint32_t size,
                                      const std::string& path) {
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, path.c_str());
}

int32_t Win32ProfileStore::WriteString(const char* section, const char* key,
                                       const std::string& value, const std::string& path) {
  return ::WritePrivateProfileStringA(section, key, value.c_str(), path.c_str());
}

bool Win32FileSystem::CanOpenForReading(const std::string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, and a file
  // another process holds without read sharing fails too, as it should.
  KernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

bool Win32Desktop::WindowExists(const char* title) {
  return ::FindWindowA(nullptr, title) != nullptr;
}

int32_t Win32Desktop::ShowCursor(int32_t show) { return ::ShowCursor(show); }

void Win32Desktop::ShowMessage(const char* caption, const char* text) {
  ::MessageBoxA(nullptr, text, caption, MB_OK | MB_SETFOREGROUND);
}

namespace {

class Win32ChildProcess : public ChildProcess {
 public:
  // The handle, held until the saver ends, keeps the process id from being
  // given to another process.
  Win32ChildProcess(HANDLE process, DWORD id) : process_(process), id_(id) {}
  bool HasEnded() override { return ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }

  bool HasWindow(const char* title) override {
    wchar_t wide[256];
    if (!::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, title, -1, wide, 256)) return false;
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, nullptr, wide)) != nullptr) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(window, &owner);
      if (owner == id_) return true;
    }
    return false;
  }

 private:
  KernelHandle process_;
  DWORD id_;
};

}  // namespace

std::unique_ptr<ChildProcess> Win32Desktop::StartProgram(const std::string& path) {
  // The path goes in as the application name and, quoted, as the command
  // line, so a folder with blanks ("C:\Program Files\...") cannot make
  // Windows run "C:\Program.exe" instead.
  std::string commandLine = "\"" + path + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
    return nullptr;
  }
  ::CloseHandle(info.hThread);
  return std::make_unique<Win32ChildProcess>(info.hProcess, info.dwProcessId);
}

void Win32Desktop::EndProcess() { ::ExitProcess(0); }

uint32_t Win32Mci::SendString(const char* command, char* reply, uint32_t capacity) {
  return winmm::mciSendStringA(command, reply, capacity, nullptr);
}

bool Win32Mci::GetErrorString(uint32_t code, char* buffer, uint32_t capacity) {
  return winmm::mciGetErrorStringA(code, buffer, capacity) != FALSE;
}

int32_t Win32Sound::WaveOutDeviceCount() { return static_cast<int32_t>(winmm::waveOutGetNumDevs()); }

int32_t Win32Sound::Play(const char* name, uint32_t flags) {
  return winmm::PlaySoundA(name, nullptr, flags);
}

std::string ProgramFolder() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size() || buffer.size() >= 0x10000) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  std::string folder = FolderOfPath(std::string(buffer.begin(), buffer.end()));
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

std::string ProcessArgumentString() { return ArgumentString(::GetCommandLineA()); }

}  // namespace qb
