// The narrow interfaces through which the portable core reaches the system.
// Their Windows side lives in platform/win32; the unit tests bring fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qb {

// One key of an initialization file, shaped like the profile-string calls.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // Copies the value (or `defaultValue`) into `buffer`, cut to size - 1 bytes
  // and NUL-terminated; returns the number of bytes copied.
  virtual uint32_t GetString(const char* section, const char* key, const char* defaultValue,
                             char* buffer, uint32_t size, const std::string& path) = 0;
  // Returns the platform's result (non-zero on success).
  virtual int32_t WriteString(const char* section, const char* key, const std::string& value,
                              const std::string& path) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when the file at `path` can be opened for reading right now.
  virtual bool CanOpenForReading(const std::string& path) = 0;
};

// A program the saver started. It is never waited for or ended; the saver
// only asks whether it is still there and what it shows.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  virtual bool HasEnded() = 0;
  // True when this process, and no other, owns a top-level window with
  // exactly this title (code page 932), of any class, shown or not. False
  // once the process has ended: its windows end with it.
  virtual bool HasWindow(const char* title) = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // A top-level window with exactly this title, of any class, shown or not.
  virtual bool WindowExists(const char* title) = 0;
  // ShowCursor: returns the new display counter.
  virtual int32_t ShowCursor(int32_t show) = 0;
  // A message box with an OK button only and no icon; returns when closed.
  virtual void ShowMessage(const char* caption, const char* text) = 0;
  // Starts the executable at `path` with no arguments, shown normal and
  // activated, without waiting. Null when it could not be started.
  virtual std::unique_ptr<ChildProcess> StartProgram(const std::string& path) = 0;
  // Ends the process at once. Fakes return; callers return right after.
  virtual void EndProcess() = 0;
};

// The Media Control Interface in its command-string form.
class MciPort {
 public:
  virtual ~MciPort() = default;
  // mciSendStringA: the reply goes into `reply` (at most `capacity` bytes,
  // NUL included; none when `reply` is null). Returns 0 or the error code.
  virtual uint32_t SendString(const char* command, char* reply, uint32_t capacity) = 0;
  // mciGetErrorStringA: false when there is no text for `code`.
  virtual bool GetErrorString(uint32_t code, char* buffer, uint32_t capacity) = 0;
};

// The system sound player.
class SoundPort {
 public:
  virtual ~SoundPort() = default;
  virtual int32_t WaveOutDeviceCount() = 0;
  // PlaySoundA without a module handle; a null name stops the current sound.
  virtual int32_t Play(const char* name, uint32_t flags) = 0;
};

}  // namespace qb
