// Host stand-ins for the system ports: a file system and a desktop that
// record what the core asked of them.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/program_paths.h"

namespace qb::test {

// Files in memory: those `readable` can be opened (FileExists), those in
// `contents` read whole; folders in `missingFolders` hold nothing until
// made, and nothing in `lockedFolders` can be replaced.
class FakeFileSystem : public FileSystem {
 public:
  std::set<std::string> readable;
  std::vector<std::string> asked;
  std::map<std::string, std::string> contents;
  std::set<std::string> unreadable;
  std::set<std::string> missingFolders;
  std::set<std::string> lockedFolders;
  std::vector<std::string> replaced;  // in order
  bool canMakeFolders = true;

  bool CanOpenForReading(const std::string& path) override {
    asked.push_back(path);
    return readable.count(path) != 0;
  }
  ReadResult ReadWhole(const std::string& path, std::string& content) override {
    content.clear();
    if (unreadable.count(path)) return ReadResult::Unreadable;
    const auto file = contents.find(path);
    if (file == contents.end()) return ReadResult::Missing;
    content = file->second;
    return ReadResult::Read;
  }
  bool ReplaceWhole(const std::string& path, const std::string& content) override {
    const std::string folder = FolderOfPath(path);
    if (missingFolders.count(folder) || lockedFolders.count(folder)) return false;
    contents[path] = content;
    unreadable.erase(path);
    replaced.push_back(path);
    return true;
  }
  bool MakeFolder(const std::string& path) override {
    if (!canMakeFolders) return false;
    missingFolders.erase(path);
    return true;
  }
};

class FakeChildProcess : public ChildProcess {
 public:
  explicit FakeChildProcess(const bool& ended) : ended_(ended) {}
  bool HasEnded() override { return ended_; }

 private:
  const bool& ended_;
};

class FakeDesktop : public Desktop {
 public:
  std::set<std::string> windows;
  std::vector<std::string> calls;  // every call, in order
  int32_t cursorCounter = 0;
  bool startSucceeds = true;
  bool childEnded = false;
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
  std::unique_ptr<ChildProcess> StartProgram(const std::string& path) override {
    calls.push_back("start " + path);
    started.push_back(path);
    if (!startSucceeds) return nullptr;
    return std::make_unique<FakeChildProcess>(childEnded);
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
