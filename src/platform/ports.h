// The narrow interfaces through which the portable core reaches the system.
// Their Windows side lives in platform/win32; the unit tests bring fakes.
// Paths are UTF-16; the program's own texts, settings and MCI replies are
// code page 932 bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

// Files, as the program reads and writes them: whole.
class FileSystem {
 public:
  enum class ReadResult { Read, Missing, Unreadable };

  virtual ~FileSystem() = default;
  // True when the file at `path` can be opened for reading right now.
  virtual bool CanOpenForReading(const std::u16string& path) = 0;
  // The whole file into `content`. Missing when no file (or no folder) is
  // there; Unreadable when one is there but cannot be read.
  virtual ReadResult ReadWhole(const std::u16string& path, std::string& content) = 0;
  // Puts `content` in the place of the file at `path` (which need not
  // exist) without ever opening that file for writing: a new file in the
  // same folder is written, flushed and then moved over it in one step.
  // False when any step failed; the old file, or its absence, is then as
  // it was, and no new file is left behind.
  virtual bool ReplaceWhole(const std::u16string& path, const std::string& content) = 0;
  // Creates the folder at `path` (its parent exists); true when it is
  // there afterwards.
  virtual bool MakeFolder(const std::u16string& path) = 0;
  // The short (8.3) form of an existing file's path; nothing when the
  // system cannot tell one. A volume that keeps no short names gives the
  // path back as it is.
  virtual std::optional<std::u16string> ShortPath(const std::u16string& path) = 0;
};

// The steps of a whole-file replacement as the system offers them; the
// order in which they are taken, and what is done when one fails, is
// ReplaceWholeFile's (file_replace.h).
class FileSteps {
 public:
  virtual ~FileSteps() = default;
  // Creates a file of a new name in `folder` (one that did not exist: never
  // one put there by someone else), writes `content` and flushes it to the
  // disk through that one handle. Its path, or nothing when any step
  // failed, in which case no file is left.
  virtual std::optional<std::u16string> WriteNewFile(const std::u16string& folder, const std::string& content) = 0;
  // Creates an empty file of a new name, "qbsXXXX.bak", in `folder` the way
  // WriteNewFile does, for ReplaceFile to put the old file under. Its path,
  // or nothing.
  virtual std::optional<std::u16string> MakeBackupFile(const std::u16string& folder) = 0;
  // The "qbsXXXX.bak" files in `folder`, which only a replacement makes.
  virtual std::vector<std::u16string> Backups(const std::u16string& folder) = 0;
  // ReplaceFile: `replacement` takes the place of `target`, which becomes
  // `backup`. 0, or the system's error code.
  virtual uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                           const std::u16string& backup) = 0;
  // MoveFileEx, replacing a file at `to` and on the disk before it returns.
  virtual bool Move(const std::u16string& from, const std::u16string& to) = 0;
  virtual bool Delete(const std::u16string& path) = 0;
  // CopyFile to a name no file has (never over one), on the disk before it
  // returns; where a rename is refused, a copy may still be made.
  virtual bool Copy(const std::u16string& from, const std::u16string& to) = 0;
  // True when a file (or folder) is there.
  virtual bool Exists(const std::u16string& path) = 0;
};

// Code page 932 and UTF-16, converted as the system converts them,
// whatever its own code page.
class Cp932Codec {
 public:
  virtual ~Cp932Codec() = default;
  virtual std::u16string ToUtf16(std::string_view cp932) = 0;
  // Nothing when a character has no code page 932 form of its own (no
  // look-alike stands in for it).
  virtual std::optional<std::string> FromUtf16(std::u16string_view text) = 0;
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
  virtual std::unique_ptr<ChildProcess> StartProgram(const std::u16string& path) = 0;
  // Ends the process at once. Fakes return; callers return right after.
  virtual void EndProcess() = 0;
};

// The Media Control Interface in its command-string form.
class MciPort {
 public:
  virtual ~MciPort() = default;
  // mciSendString: the reply goes into `reply` (at most `capacity` bytes,
  // NUL included; none when `reply` is null). Returns 0 or the error code.
  virtual uint32_t SendString(const std::u16string& command, char* reply, uint32_t capacity) = 0;
  // mciGetErrorString: false when there is no text for `code`.
  virtual bool GetErrorString(uint32_t code, char* buffer, uint32_t capacity) = 0;
};

// The system sound player.
class SoundPort {
 public:
  virtual ~SoundPort() = default;
  virtual int32_t WaveOutDeviceCount() = 0;
  // PlaySound without a module handle; a null name stops the current sound.
  virtual int32_t Play(const char16_t* name, uint32_t flags) = 0;
};

}  // namespace qb
