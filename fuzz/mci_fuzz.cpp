// Replies of media drivers: a device that answers every command with bytes
// from the input (any length, cut to the caller's capacity, with or without
// a terminator, any result code) drives the CD and MP3 players' ticks as
// the saver runs them.
#include <cstdint>
#include <cstring>
#include <string>

#include "check.h"
#include "fuzz_input.h"
#include "music/players.h"

namespace {

class ArbitraryDevice : public qb::MciPort {
 public:
  explicit ArbitraryDevice(qb::fuzz::Input& input) : input_(input) {}

  uint32_t SendString(const std::u16string& command, char* reply, uint32_t capacity) override {
    QB_FUZZ_CHECK(!command.empty() && command.find(u'\0') == std::u16string::npos);
    QB_FUZZ_CHECK(command.size() < 1024);
    ++commands;
    Answer(reply, capacity);
    const uint8_t code = input_.Byte();
    return code < 192 ? 0 : code;
  }

  bool GetErrorString(uint32_t, char* buffer, uint32_t capacity) override {
    Answer(buffer, capacity);
    return input_.Byte() & 1;
  }

  int commands = 0;

 private:
  // Writes what a driver might: up to the capacity, the terminator only
  // when the input says so and there is room.
  void Answer(char* buffer, uint32_t capacity) {
    if (!buffer || capacity == 0) return;
    const std::string bytes = input_.Bytes(2 * capacity);
    const size_t n = std::min<size_t>(bytes.size(), capacity);
    std::memcpy(buffer, bytes.data(), n);
    if ((input_.Byte() & 1) && n < capacity) buffer[n] = '\0';
  }

  qb::fuzz::Input& input_;
};

class NoSound : public qb::SoundPort {
 public:
  int32_t WaveOutDeviceCount() override { return 1; }
  int32_t Play(const char16_t*, uint32_t) override { return 1; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  qb::fuzz::Input input(data, size);
  qb::SettingsValues settings;
  settings.RepeatTrack = static_cast<int16_t>(input.Byte() % 40);
  for (char c : "C:\\Music\\") settings.MusicFile += static_cast<char16_t>(c ? c : u'a');
  for (unsigned char c : input.Bytes(40)) settings.MusicFile += static_cast<char16_t>(0x20 + c * 97);
  settings.MusicFile += u".mp3";
  ArbitraryDevice device(input);
  NoSound sound;
  qb::MusicPlayers music(device, sound, settings);

  // The saver's CD timer: polls while the player wants to, then stops.
  music.CdOpen();
  for (int tick = 0; tick < 50 && !input.Empty(); ++tick) {
    music.CdPoll();
    if (!music.CdKeepPolling()) break;
  }
  music.CdStop();

  music.Mp3Open();
  for (int tick = 0; tick < 50 && !input.Empty(); ++tick) music.Mp3KeepLooping();
  music.Mp3Stop();
  QB_FUZZ_CHECK(device.commands > 0);
  return 0;
}
