// Host stand-ins for the system ports: an ini store, a file system and a
// desktop that record what the core asked of them.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace qb::test {

// Behaves like GetPrivateProfileStringA / WritePrivateProfileStringA on a
// set of in-memory files.
class FakeProfileStore : public ProfileStore {
 public:
  using Section = std::map<std::string, std::string>;
  std::map<std::string, std::map<std::string, Section>> files;
  std::vector<std::string> writes;  // "section|key|value|path" in order
  int32_t writeResult = 1;

  uint32_t GetString(const char* section, const char* key, const char* defaultValue, char* buffer,
                     uint32_t size, const std::string& path) override {
    std::string value = defaultValue;
    auto file = files.find(path);
    if (file != files.end()) {
      auto sec = file->second.find(section);
      if (sec != file->second.end()) {
        auto k = sec->second.find(key);
        if (k != sec->second.end()) value = k->second;
      }
    }
    if (size == 0) return 0;
    const size_t n = std::min<size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<uint32_t>(n);
  }

  int32_t WriteString(const char* section, const char* key, const std::string& value,
                      const std::string& path) override {
    writes.push_back(std::string(section) + "|" + key + "|" + value + "|" + path);
    files[path][section][key] = value;
    return writeResult;
  }
};

class FakeFileSystem : public FileSystem {
 public:
  std::set<std::string> readable;
  std::vector<std::string> asked;

  bool CanOpenForReading(const std::string& path) override {
    asked.push_back(path);
    return readable.count(path) != 0;
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
  std::unique_ptr<ChildProcess> StartProgram(const std::string& path) override {
    calls.push_back("start " + path);
    started.push_back(path);
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
