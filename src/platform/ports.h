// The narrow interfaces through which the portable core reaches the system.
// Their Windows side lives in platform/win32; the unit tests bring fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qb {

// Files, as the program reads and writes them: whole.
class FileSystem {
 public:
  enum class ReadResult { Read, Missing, Unreadable };

  virtual ~FileSystem() = default;
  // True when the file at `path` can be opened for reading right now.
  virtual bool CanOpenForReading(const std::string& path) = 0;
  // The whole file into `content`. Missing when no file (or no folder) is
  // there; Unreadable when one is there but cannot be read.
  virtual ReadResult ReadWhole(const std::string& path, std::string& content) = 0;
  // Puts `content` in the place of the file at `path` (which need not
  // exist) without ever opening that file for writing: a new file in the
  // same folder is written, flushed and then moved over it in one step.
  // False when any step failed; the old file, or its absence, is then as
  // it was, and no new file is left behind.
  virtual bool ReplaceWhole(const std::string& path, const std::string& content) = 0;
  // Creates the folder at `path` (its parent exists); true when it is
  // there afterwards.
  virtual bool MakeFolder(const std::string& path) = 0;
};

// A program the saver started. It is never waited for or ended; the saver
// only asks whether it is still there.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  virtual bool HasEnded() = 0;
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
