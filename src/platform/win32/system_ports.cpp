#include "platform/win32/system_ports.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "platform/cp932.h"
#include "platform/file_replace.h"
#include "platform/program_paths.h"
#include "platform/texts.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_dlls.h"
#include "platform/win32/wide_text.h"

namespace qb {

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

// Code page 932 text into a fixed buffer of `capacity` bytes, NUL
// included, never ending on half a character.
void CopyCp932(const std::wstring& text, char* buffer, uint32_t capacity) {
  if (!buffer || capacity == 0) return;
  const std::string bytes = Cp932Truncate(WideToCp932Lossy(text), capacity - 1);
  std::copy(bytes.begin(), bytes.end(), buffer);
  buffer[bytes.size()] = '\0';
}

// The short (8.3) form of an existing file's path; nothing when the system
// cannot tell one.
std::optional<std::wstring> ShortPathOf(const std::wstring& path) {
  const DWORD needed = ::GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring shortPath(needed, L'\0');
  const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  shortPath.resize(length);
  return shortPath;
}

}  // namespace

bool Win32FileSystem::CanOpenForReading(const std::u16string& path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, and a file
  // another process holds without read sharing fails too, as it should.
  // The path may come from a settings file someone else wrote: should it
  // name a pipe or a server, whoever answers may identify the user but
  // never act as the user. A name that passed every rule can still lead
  // elsewhere through a link planted on the way: only a file on a disk
  // counts, never a pipe or a character device.
  KernelHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                                  nullptr));
  return file && ::GetFileType(file.Get()) == FILE_TYPE_DISK;
}

FileSystem::ReadResult Win32FileSystem::ReadWhole(const std::u16string& path, std::string& content) {
  content.clear();
  KernelHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
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

bool Win32FileSystem::ReplaceWhole(const std::u16string& path, const std::string& content) {
  Win32FileSteps steps;
  return ReplaceWholeFile(steps, path, content);
}

namespace {

// A file of a new name "qbsXXXX" + `extension` in `folder`, created here
// and nowhere else (CREATE_NEW): nothing put under that name meanwhile can
// be followed. Its path, and the handle that created it.
std::optional<std::wstring> CreateNewFile(const std::u16string& folder, const wchar_t* extension,
                                          KernelHandle& file) {
  LARGE_INTEGER now = {};
  ::QueryPerformanceCounter(&now);
  const DWORD seed = static_cast<DWORD>(now.QuadPart) ^ (::GetCurrentProcessId() << 16);
  for (DWORD attempt = 0; attempt < 32; ++attempt) {
    wchar_t name[16];
    ::wsprintfW(name, L"\\qbs%04x%s", static_cast<unsigned>((seed + attempt * 7919u) & 0xFFFF), extension);
    const std::wstring path = Wide(folder) + name;
    file = KernelHandle(::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return path;
    if (::GetLastError() != ERROR_FILE_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

// "qbs", four hexadecimal digits and ".bak": the long name itself, since a
// wildcard also matches short names.
bool IsBackupName(const wchar_t* name) {
  if (::lstrlenW(name) != 11 || ::CompareStringOrdinal(name, 3, L"qbs", 3, TRUE) != CSTR_EQUAL ||
      ::CompareStringOrdinal(name + 7, 4, L".bak", 4, TRUE) != CSTR_EQUAL) {
    return false;
  }
  for (int i = 3; i < 7; ++i) {
    const wchar_t c = name[i];
    if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'))) return false;
  }
  return true;
}

}  // namespace

std::optional<std::u16string> Win32FileSteps::WriteNewFile(const std::u16string& folder,
                                                           const std::string& content) {
  KernelHandle file;
  const std::optional<std::wstring> path = CreateNewFile(folder, L".tmp", file);
  if (!path) return std::nullopt;
  if (WriteAll(file.Get(), content) && ::FlushFileBuffers(file.Get())) return Utf16(*path);
  FILE_DISPOSITION_INFO gone = {TRUE};
  ::SetFileInformationByHandle(file.Get(), FileDispositionInfo, &gone, sizeof(gone));
  return std::nullopt;
}

std::optional<std::u16string> Win32FileSteps::MakeBackupFile(const std::u16string& folder) {
  KernelHandle file;
  const std::optional<std::wstring> path = CreateNewFile(folder, L".bak", file);
  if (!path) return std::nullopt;
  return Utf16(*path);
}

std::vector<std::u16string> Win32FileSteps::Backups(const std::u16string& folder) {
  std::vector<std::u16string> found;
  WIN32_FIND_DATAW entry = {};
  const HANDLE search = ::FindFirstFileExW((Wide(folder) + L"\\qbs*.bak").c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsBackupName(entry.cFileName)) {
      found.push_back(folder + u"\\" + Utf16(entry.cFileName));
    }
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
  return found;
}

uint32_t Win32FileSteps::Replace(const std::u16string& target, const std::u16string& replacement,
                                 const std::u16string& backup) {
  if (::ReplaceFileW(Wide(target).c_str(), Wide(replacement).c_str(), Wide(backup).c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return 0;
  }
  return ::GetLastError();
}

bool Win32FileSteps::Move(const std::u16string& from, const std::u16string& to) {
  return ::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
         FALSE;
}

bool Win32FileSteps::Copy(const std::u16string& from, const std::u16string& to) {
  const std::wstring target = Wide(to);
  if (!::CopyFileW(Wide(from).c_str(), target.c_str(), TRUE)) return false;
  KernelHandle copy(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  return copy && ::FlushFileBuffers(copy.Get());
}

bool Win32FileSteps::Delete(const std::u16string& path) { return ::DeleteFileW(Wide(path).c_str()) != FALSE; }

bool Win32FileSteps::Exists(const std::u16string& path) {
  return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::MakeFolder(const std::u16string& path) {
  const std::wstring folder = Wide(path);
  if (::CreateDirectoryW(folder.c_str(), nullptr)) return true;
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::u16string> Win32FileSystem::ShortPath(const std::u16string& path) {
  const std::optional<std::wstring> shortPath = ShortPathOf(Wide(path));
  if (!shortPath) return std::nullopt;
  return Utf16(*shortPath);
}

std::u16string Win32Codec::ToUtf16(std::string_view cp932) { return Utf16(Cp932ToWide(cp932)); }

std::optional<std::string> Win32Codec::FromUtf16(std::u16string_view text) { return WideToCp932(Wide(text)); }

bool Win32Desktop::WindowExists(const char* title) {
  return ::FindWindowW(nullptr, Cp932ToWide(title).c_str()) != nullptr;
}

int32_t Win32Desktop::ShowCursor(int32_t show) { return ::ShowCursor(show); }

void Win32Desktop::ShowMessage(const char* caption, const char* text) {
  ::MessageBoxW(nullptr, Cp932ToWide(text).c_str(), Cp932ToWide(caption).c_str(), MB_OK | MB_SETFOREGROUND);
}

namespace {

class Win32ChildProcess : public ChildProcess {
 public:
  // The handle, held until the saver ends, keeps the process id from being
  // given to another process.
  Win32ChildProcess(HANDLE process, DWORD id) : process_(process), id_(id) {}
  bool HasEnded() override { return ::WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }

  bool HasWindow(const char* title) override {
    const std::wstring wide = Cp932ToWide(title);
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, nullptr, wide.c_str())) != nullptr) {
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

// A read-only, inheritable copy of the music block's section, and the one
// handle a child may inherit: nothing else the saver holds reaches it.
class InheritedBlock {
 public:
  explicit InheritedBlock(HANDLE section) {
    HANDLE copy = nullptr;
    if (!section || !::DuplicateHandle(::GetCurrentProcess(), section, ::GetCurrentProcess(), &copy,
                                       FILE_MAP_READ, TRUE, 0)) {
      return;
    }
    handle_.Reset(copy);
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    list_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list_.data());
    if (size == 0 || !::InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    if (!::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &copy, sizeof(copy), nullptr,
                                     nullptr)) {
      ::DeleteProcThreadAttributeList(list);
      return;
    }
    ready_ = true;
  }
  ~InheritedBlock() {
    if (ready_) ::DeleteProcThreadAttributeList(List());
  }
  bool Ready() const { return ready_; }
  LPPROC_THREAD_ATTRIBUTE_LIST List() { return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list_.data()); }
  std::wstring Value() const {
    return std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle_.Get())));
  }

 private:
  KernelHandle handle_;
  std::vector<char> list_;
  bool ready_ = false;
};

}  // namespace

std::unique_ptr<ChildProcess> Win32Desktop::StartProgram(const std::u16string& path) {
  // The path goes in as the application name and, quoted, as the command
  // line, so a folder with blanks ("C:\Program Files\...") cannot make
  // Windows run "C:\Program.exe" instead.
  const std::wstring application = Wide(path);
  std::wstring commandLine = L"\"" + application + L"\"";
  STARTUPINFOEXW startup = {};
  startup.StartupInfo.cb = sizeof(startup.StartupInfo);
  startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
  startup.StartupInfo.wShowWindow = SW_SHOWNORMAL;
  // The block's handle is named in the child's environment, which it takes
  // from ours; a name the saver itself inherited never passes on.
  const std::wstring variable = Cp932ToWide(kMusicBlockVariable);
  InheritedBlock block(share_ ? share_->Section() : nullptr);
  DWORD flags = 0;
  if (block.Ready()) {
    startup.StartupInfo.cb = sizeof(startup);
    startup.lpAttributeList = block.List();
    flags = EXTENDED_STARTUPINFO_PRESENT;
    ::SetEnvironmentVariableW(variable.c_str(), block.Value().c_str());
  } else {
    ::SetEnvironmentVariableW(variable.c_str(), nullptr);
  }
  PROCESS_INFORMATION info = {};
  const BOOL started = ::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, block.Ready(),
                                        flags, nullptr, nullptr, &startup.StartupInfo, &info);
  ::SetEnvironmentVariableW(variable.c_str(), nullptr);
  if (!started) return nullptr;
  ::CloseHandle(info.hThread);
  return std::make_unique<Win32ChildProcess>(info.hProcess, info.dwProcessId);
}

void Win32Desktop::EndProcess() { ::ExitProcess(0); }

uint32_t Win32Mci::SendString(const std::u16string& command, char* reply, uint32_t capacity) {
  if (!reply || capacity == 0) return winmm::mciSendStringW(Wide(command).c_str(), nullptr, 0, nullptr);
  std::vector<wchar_t> wide(capacity, L'\0');
  const MCIERROR code = winmm::mciSendStringW(Wide(command).c_str(), wide.data(), capacity, nullptr);
  // Like the narrow call, the buffer is written only when there is a reply.
  if (code == 0) CopyCp932(std::wstring(wide.data()), reply, capacity);
  return code;
}

bool Win32Mci::GetErrorString(uint32_t code, char* buffer, uint32_t capacity) {
  std::vector<wchar_t> wide(capacity ? capacity : 1, L'\0');
  if (!winmm::mciGetErrorStringW(code, wide.data(), static_cast<UINT>(wide.size()))) return false;
  CopyCp932(std::wstring(wide.data()), buffer, capacity);
  return true;
}

int32_t Win32Sound::WaveOutDeviceCount() { return static_cast<int32_t>(winmm::waveOutGetNumDevs()); }

namespace {

// The sound player opens a file through the system's code page (Wine's
// does, and old Windows'): a path that code page cannot hold goes in as
// its short form, whose names are plain ASCII.
std::wstring PathTheSoundPlayerOpens(const std::wstring& path) {
  const UINT codePage = ::GetACP();
  if (codePage == CP_UTF8) return path;
  BOOL lost = FALSE;
  ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0, nullptr, &lost);
  if (!lost) return path;
  return ShortPathOf(path).value_or(path);
}

}  // namespace

int32_t Win32Sound::Play(const char16_t* name, uint32_t flags) {
  if (!name) return winmm::PlaySoundW(nullptr, nullptr, flags);
  return winmm::PlaySoundW(PathTheSoundPlayerOpens(Wide(name)).c_str(), nullptr, flags);
}

std::u16string ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size() || buffer.size() >= 0x10000) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  std::u16string folder = FolderOfPath(Utf16(std::wstring_view(buffer.data(), buffer.size())));
  if (folder.size() == 2 && folder[1] == u':') folder += u'\\';
  return folder;
}

std::u16string UserSettingsFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  if (folder[0] == L'\0') return {};
  return Utf16(folder) + Utf16(Cp932ToWide(texts::kUserFolderSuffix));
}

std::string ProcessArgumentString() {
  const wchar_t* commandLine = ::GetCommandLineW();
  return WideToCp932Lossy(Wide(ArgumentString(Utf16(commandLine ? commandLine : L""))));
}

}  // namespace qb
