#include "platform/win32/system_ports.h"

#include <windows.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "platform/program_paths.h"
#include "platform/texts.h"
#include "platform/win32/handles.h"

namespace qb {

bool Win32FileSystem::CanOpenForReading(const std::string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, and a file
  // another process holds without read sharing fails too, as it should.
  KernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

namespace {

// A settings file is small; anything bigger is not one of ours to load.
constexpr LONGLONG kLargestFileRead = 16 << 20;

bool WriteAll(HANDLE file, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - done, 1 << 20));
    if (!::WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

FileSystem::ReadResult Win32FileSystem::ReadWhole(const std::string& path, std::string& content) {
  content.clear();
  KernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                         error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
    return missing ? ReadResult::Missing : ReadResult::Unreadable;
  }
  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestFileRead) return ReadResult::Unreadable;
  content.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < content.size()) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), &content[done], static_cast<DWORD>(content.size() - done), &got, nullptr)) {
      content.clear();
      return ReadResult::Unreadable;
    }
    if (got == 0) break;  // the file got shorter meanwhile
    done += got;
  }
  content.resize(done);
  return ReadResult::Read;
}

bool Win32FileSystem::ReplaceWhole(const std::string& path, const std::string& content) {
  // The new text goes into a file of its own beside the old one and is on
  // the disk before it takes the old one's place: whenever the machine
  // stops, the settings file is either the old one or the new one, whole.
  const std::string folder = FolderOfPath(path);
  char temporary[MAX_PATH + 1] = {};
  if (folder.empty() || !::GetTempFileNameA(folder.c_str(), "qbs", 0, temporary)) return false;
  bool ok = false;
  {
    KernelHandle file(::CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ok = file && WriteAll(file.Get(), content) && ::FlushFileBuffers(file.Get());
  }
  if (ok) {
    ok = ::ReplaceFileA(path.c_str(), temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr) != FALSE;
    const DWORD error = ok ? ERROR_SUCCESS : ::GetLastError();
    // No old file to replace (or one that ReplaceFile moved aside without
    // putting the new one in): the new one is moved into place.
    if (!ok && (error == ERROR_FILE_NOT_FOUND || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)) {
      ok = ::MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
  }
  if (!ok) ::DeleteFileA(temporary);
  return ok;
}

bool Win32FileSystem::MakeFolder(const std::string& path) {
  if (::CreateDirectoryA(path.c_str(), nullptr)) return true;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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
  explicit Win32ChildProcess(HANDLE process) : process_(process) {}
  bool HasEnded() override { return ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }

 private:
  KernelHandle process_;
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
  return std::make_unique<Win32ChildProcess>(info.hProcess);
}

void Win32Desktop::EndProcess() { ::ExitProcess(0); }

uint32_t Win32Mci::SendString(const char* command, char* reply, uint32_t capacity) {
  return ::mciSendStringA(command, reply, capacity, nullptr);
}

bool Win32Mci::GetErrorString(uint32_t code, char* buffer, uint32_t capacity) {
  return ::mciGetErrorStringA(code, buffer, capacity) != FALSE;
}

int32_t Win32Sound::WaveOutDeviceCount() { return static_cast<int32_t>(::waveOutGetNumDevs()); }

int32_t Win32Sound::Play(const char* name, uint32_t flags) {
  return ::PlaySoundA(name, nullptr, flags);
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

std::string UserSettingsFolder() {
  char folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  if (folder[0] == '\0') return {};
  return std::string(folder) + texts::kUserFolderSuffix;
}

std::string ProcessArgumentString() { return ArgumentString(::GetCommandLineA()); }

}  // namespace qb
