// Host stand-ins for the system ports: a file system and a desktop that
// record what the core asked of them.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "iconv_reference.h"
#include "platform/ports.h"
#include "platform/program_paths.h"

namespace qb::test {

// UTF-16 as UTF-8, for readable expectations.
inline std::string Utf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Code page 932 by the C library's CP932, an independent reference.
class IconvCodec : public Cp932Codec {
 public:
  std::u16string ToUtf16(std::string_view cp932) override {
    const std::optional<std::string> bytes = Iconv("UTF-16LE", "CP932", cp932);
    std::u16string out;
    if (!bytes) return u"\uFFFD";
    for (size_t i = 0; i + 1 < bytes->size(); i += 2) {
      out += static_cast<char16_t>(static_cast<unsigned char>((*bytes)[i]) |
                                   (static_cast<unsigned char>((*bytes)[i + 1]) << 8));
    }
    return out;
  }
  std::optional<std::string> FromUtf16(std::u16string_view text) override {
    std::string bytes;
    for (char16_t c : text) {
      bytes += static_cast<char>(c & 0xFF);
      bytes += static_cast<char>(c >> 8);
    }
    return Iconv("CP932", "UTF-16LE", bytes);
  }
};

// Files in memory: those `readable` can be opened (FileExists), those in
// `contents` read whole; folders in `missingFolders` hold nothing until
// made, and nothing in `lockedFolders` can be replaced.
class FakeFileSystem : public FileSystem {
 public:
  std::set<std::u16string> readable;
  std::vector<std::u16string> asked;
  std::map<std::u16string, std::string> contents;
  std::set<std::u16string> unreadable;
  std::set<std::u16string> missingFolders;
  std::set<std::u16string> lockedFolders;
  std::map<std::u16string, std::u16string> shortPaths;
  std::vector<std::u16string> replaced;  // in order
  bool canMakeFolders = true;

  bool CanOpenForReading(const std::u16string& path) override {
    asked.push_back(path);
    return readable.count(path) != 0;
  }
  ReadResult ReadWhole(const std::u16string& path, std::string& content) override {
    content.clear();
    if (unreadable.count(path)) return ReadResult::Unreadable;
    const auto file = contents.find(path);
    if (file == contents.end()) return ReadResult::Missing;
    content = file->second;
    return ReadResult::Read;
  }
  bool ReplaceWhole(const std::u16string& path, const std::string& content) override {
    const std::u16string folder = FolderOfPath(path);
    if (missingFolders.count(folder) || lockedFolders.count(folder)) return false;
    contents[path] = content;
    unreadable.erase(path);
    replaced.push_back(path);
    return true;
  }
  bool MakeFolder(const std::u16string& path) override {
    if (!canMakeFolders) return false;
    missingFolders.erase(path);
    return true;
  }
  // A short form of its own for every path not listed, so that a path
  // taken short where it need not be shows.
  std::optional<std::u16string> ShortPath(const std::u16string& path) override {
    const auto found = shortPaths.find(path);
    return found == shortPaths.end() ? u"C:\\SHORT~1\\A~1.WAV" : found->second;
  }
};

// What the started program is doing; the test changes it between calls.
struct FakeChildState {
  bool ended = false;
  std::set<std::string> windows;  // titles of its own top-level windows
};

class FakeChildProcess : public ChildProcess {
 public:
  FakeChildProcess(const FakeChildState& state, std::vector<std::string>& calls)
      : state_(state), calls_(calls) {}
  bool HasEnded() override { return state_.ended; }
  bool HasWindow(const char* title) override {
    calls_.push_back(std::string("child window ") + title);
    return state_.windows.count(title) != 0;
  }

 private:
  const FakeChildState& state_;
  std::vector<std::string>& calls_;
};

class FakeDesktop : public Desktop {
 public:
  std::set<std::string> windows;  // every process's, the child's included
  std::vector<std::string> calls;  // every call, the child's too, in order
  int32_t cursorCounter = 0;
  bool startSucceeds = true;
  FakeChildState child;
  std::vector<std::string> started;
  int endCount = 0;

  bool WindowExists(const char* title) override {
    calls.push_back(std::string("find ") + title);
    return windows.count(title) != 0;
  }
  int32_t ShowCursor(int32_t show) override {
    calls.push_back("cursor " + std::to_string(show));
    cursorCounter += show ? 1 : -1;
    return cursorCounter;
  }
  void ShowMessage(const char* caption, const char* text) override {
    calls.push_back(std::string("message ") + caption + "|" + text);
  }
  std::unique_ptr<ChildProcess> StartProgram(const std::u16string& path) override {
    calls.push_back("start " + Utf8(path));
    started.push_back(Utf8(path));
    if (!startSucceeds) return nullptr;
    return std::make_unique<FakeChildProcess>(child, calls);
  }
  void EndProcess() override {
    calls.push_back("end");
    ++endCount;
  }

  size_t CountCalls(const std::string& prefix) const {
    return static_cast<size_t>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
      return c.compare(0, prefix.size(), prefix) == 0;
    }));
  }
};

}  // namespace qb::test
