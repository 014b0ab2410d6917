// A simulated MCI: a cdaudio drive with a disc of N tracks and an MPEGVideo
// file under the alias MP3Play, driven by a clock the test advances. It
// answers the command strings the players send, records every command, and
// writes replies the way mciSendStringA does (cut to the capacity).
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes.h"
#include "platform/ports.h"

namespace qb::test {

enum MciError : uint32_t {
  kInvalidDeviceName = 263,
  kCannotLoadDriver = 266,
  kBadTimeFormat = 270,
  kFileNotFound = 275,
  kDeviceNotReady = 276,
  kInternal = 277,
  kOutOfRange = 282,
  kUnrecognizedCommand = 261,
};

class FakeMci : public MciPort {
 public:
  // The drive and its disc.
  bool driveExists = true;
  bool discPresent = true;
  int trackCount = 5;
  int trackLengthMs = 10000;
  // The MPEGVideo device: files it can decode, and how long each plays.
  std::set<std::string> decodableFiles;
  int fileLengthMs = 2500;
  // Wine 8: "play from 0" right after the end keeps reporting "stopped"
  // unless a stop came first.
  bool stoppedAfterEndQuirk = true;
  // A misbehaving driver that fills the whole reply buffer without a NUL.
  bool unterminatedReplies = false;
  // Replies to force for a command, whatever the state.
  std::map<std::string, std::string> forcedReplies;
  std::map<std::string, uint32_t> forcedErrors;
  std::map<uint32_t, std::string> errorTexts = {{kCannotLoadDriver, "cannot load driver"}};

  std::vector<std::string> log;

  // Device state, open to the tests.
  bool cdOpen = false;
  std::string cdMode = "stopped";
  int cdTrack = 1;
  int cdPosMs = 0;
  bool mp3Open = false;
  std::string mp3Mode;
  int mp3PosMs = 0;
  bool mp3ReachedEnd = false;

  void Advance(int ms) {
    if (cdOpen && cdMode == "playing") {
      cdPosMs += ms;
      while (cdPosMs >= trackLengthMs) {
        cdPosMs -= trackLengthMs;
        if (++cdTrack > trackCount) {
          cdTrack = 1;
          cdPosMs = 0;
          cdMode = "stopped";
          break;
        }
      }
    }
    if (mp3Open && mp3Mode == "playing") {
      mp3PosMs += ms;
      if (mp3PosMs >= fileLengthMs) {
        mp3PosMs = fileLengthMs;
        mp3Mode = "stopped";
        mp3ReachedEnd = true;
      }
    }
  }

  std::vector<std::string> TakeLog() { return std::exchange(log, {}); }

  uint32_t SendString(const std::u16string& command, char* reply, uint32_t capacity) override {
    const std::string cmd = Utf8(command);
    log.push_back(cmd);
    std::string answer;
    uint32_t code = 0;
    if (auto e = forcedErrors.find(cmd); e != forcedErrors.end()) {
      code = e->second;
    } else if (auto r = forcedReplies.find(cmd); r != forcedReplies.end()) {
      answer = r->second;
    } else if (cmd.find("cdaudio") != std::string::npos) {
      code = Cd(cmd, answer);
    } else if (cmd.find("MP3Play") != std::string::npos) {
      code = Mp3(cmd, answer);
    } else {
      code = kUnrecognizedCommand;
    }
    if (code == 0 && reply && capacity > 0) Write(answer, reply, capacity);
    return code;
  }

  bool GetErrorString(uint32_t code, char* buffer, uint32_t capacity) override {
    auto text = errorTexts.find(code);
    if (text == errorTexts.end()) return false;
    Write(text->second, buffer, capacity);
    return true;
  }

 private:
  void Write(const std::string& text, char* buffer, uint32_t capacity) {
    if (unterminatedReplies) {
      for (uint32_t i = 0; i < capacity; ++i) buffer[i] = text.empty() ? 'x' : text[i % text.size()];
      return;
    }
    const size_t n = std::min<size_t>(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }

  static bool Starts(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

  static std::string Tmsf(int track, int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", track, ms / 60000, ms / 1000 % 60,
                  ms % 1000 * 75 / 1000);
    return text;
  }

  uint32_t Cd(const std::string& cmd, std::string& answer) {
    if (!driveExists) return Starts(cmd, "close") ? kInvalidDeviceName : kCannotLoadDriver;
    if (cmd == "open cdaudio") {
      cdOpen = true;
      return 0;
    }
    if (!cdOpen) return kInvalidDeviceName;
    if (cmd == "set cdaudio time format tmsf") return 0;
    if (cmd == "close cdaudio") {
      cdOpen = false;
      return 0;
    }
    if (cmd == "stop cdaudio") {
      if (cdMode == "playing") cdMode = "stopped";
      return 0;
    }
    if (cmd == "status cdaudio mode") {
      answer = discPresent ? cdMode : "not ready";
      return 0;
    }
    if (!discPresent) return kDeviceNotReady;
    if (cmd == "status cdaudio current track") {
      answer = std::to_string(cdTrack);
      return 0;
    }
    if (cmd == "status cdaudio number of tracks") {
      answer = std::to_string(trackCount);
      return 0;
    }
    if (Starts(cmd, "status cdaudio position track ")) {
      const int track = std::atoi(cmd.c_str() + std::strlen("status cdaudio position track "));
      if (track < 1 || track > trackCount) return kOutOfRange;
      answer = Tmsf(track, 0);
      return 0;
    }
    if (cmd == "play cdaudio") {
      cdMode = "playing";
      return 0;
    }
    if (Starts(cmd, "play cdaudio from ")) {
      int t = 0, m = 0, s = 0, f = 0;
      char tail = 0;
      const char* from = cmd.c_str() + std::strlen("play cdaudio from ");
      if (std::sscanf(from, "%d:%d:%d:%d%c", &t, &m, &s, &f, &tail) != 4) return kBadTimeFormat;
      if (t < 1 || t > trackCount) return kOutOfRange;
      cdTrack = t;
      cdPosMs = (m * 60 + s) * 1000 + f * 1000 / 75;
      cdMode = "playing";
      return 0;
    }
    return kUnrecognizedCommand;
  }

  uint32_t Mp3(const std::string& cmd, std::string& answer) {
    if (Starts(cmd, "open \"")) {
      const size_t close = cmd.find('"', 6);
      if (close == std::string::npos || cmd.substr(close) != "\" type MPEGVideo Alias MP3Play") {
        return kUnrecognizedCommand;
      }
      if (!decodableFiles.count(cmd.substr(6, close - 6))) return kInternal;
      mp3Open = true;
      mp3Mode = "stopped";
      mp3PosMs = 0;
      return 0;
    }
    if (!mp3Open) return kInvalidDeviceName;
    if (cmd == "status MP3Play position") {
      answer = std::to_string(mp3PosMs);
      return 0;
    }
    if (cmd == "status MP3Play mode") {
      answer = mp3Mode;
      return 0;
    }
    if (cmd == "play MP3Play" || cmd == "play MP3Play from 0") {
      if (cmd != "play MP3Play") {
        mp3PosMs = 0;
        if (mp3ReachedEnd && stoppedAfterEndQuirk) return 0;  // plays, but says "stopped"
      }
      mp3Mode = "playing";
      mp3ReachedEnd = false;
      return 0;
    }
    if (cmd == "stop MP3Play") {
      mp3Mode = "stopped";
      mp3ReachedEnd = false;
      return 0;
    }
    if (cmd == "close MP3Play") {
      mp3Open = false;
      return 0;
    }
    return kUnrecognizedCommand;
  }
};

class FakeSound : public SoundPort {
 public:
  int32_t devices = 2;
  std::vector<std::string> calls;

  int32_t WaveOutDeviceCount() override { return devices; }
  int32_t Play(const char16_t* name, uint32_t flags) override {
    calls.push_back((name ? Utf8(name) : std::string("<null>")) + "|" + std::to_string(flags));
    return 1;
  }
};

}  // namespace qb::test
