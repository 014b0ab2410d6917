#include "music/players.h"

#include "platform/cp932.h"
#include "platform/last_api_result.h"
#include "platform/number_text.h"
#include "platform/program_paths.h"

namespace qb {

namespace {

bool ReportsError(const std::string& reply) {
  return AsciiUpper(reply).find("ERR") != std::string::npos;
}

// The first seven characters of a mode buffer equal `mode` (case-sensitive).
bool ModeIs(const char* buffer, size_t capacity, const char* mode) {
  return BufferText(buffer, capacity).compare(0, 7, mode) == 0;
}

bool IsPosition(const std::string& reply) {
  return !reply.empty() && reply.find_first_not_of("0123456789:") == std::string::npos;
}

}  // namespace

void CdPlayer::CdOpen() {
  mci_.SendMciDirect("open cdaudio");
  mci_.SendMciDirect("set cdaudio time format tmsf");
}

void CdPlayer::CdPoll() {
  keepPolling_ = -1;
  if (!PollSteps()) keepPolling_ = 0;
}

// One poll; false gives polling up (no readable disc, or a reply that cannot
// be compared).
bool CdPlayer::PollSteps() {
  const std::string current = mci_.QueryMci("status cdaudio current track");
  if (ReportsError(current)) return false;
  const std::string tracks = mci_.QueryMci("status cdaudio number of tracks");
  if (ReportsError(tracks)) return false;

  // The buffer keeps the last good reply when this query fails.
  LastApiResult = static_cast<int32_t>(
      mci_.Port().SendString(u"status cdaudio mode", CdModeBuffer, kModeBufferSize));
  const bool stopped = ModeIs(CdModeBuffer, kModeBufferSize, "stopped");

  if (settings_.RepeatTrack == 0) {
    if (stopped) mci_.PlayMci("cdaudio", "", "");
    return true;
  }

  const std::optional<double> currentTrack = TextToNumber(current);
  if (!currentTrack) return false;
  if (stopped || *currentTrack != settings_.RepeatTrack) {
    // The reply goes into a command: only a position (digits and colons)
    // is taken, and anything else plays nothing this tick.
    const std::string start =
        mci_.QueryMci("status cdaudio position track " + std::to_string(settings_.RepeatTrack));
    if (IsPosition(start)) mci_.PlayMci("cdaudio", start, "");
  }
  return true;
}

void CdPlayer::CdStop() {
  mci_.SendMciDirect("stop cdaudio");
  mci_.SendMciDirect("close cdaudio");
}

void FilePlayers::Mp3Open() {
  if (!IsMusicPath(settings_.MusicFile)) return;
  const std::u16string open = u"open \"" + settings_.MusicFile + u"\" type MPEGVideo Alias MP3Play";
  if (mci_.SendMciDirect(open) == 0) mci_.SendMciDirect("play MP3Play");
}

bool FilePlayers::Mp3IsPlaying() {
  LastApiResult = static_cast<int32_t>(
      mci_.Port().SendString(u"status MP3Play mode", Mp3ModeBuffer, kModeBufferSize));
  return ModeIs(Mp3ModeBuffer, kModeBufferSize, "playing");
}

void FilePlayers::Mp3KeepLooping() {
  if (Mp3IsPlaying()) return;
  mci_.SendMciDirect("stop MP3Play");
  mci_.SendMciDirect("play MP3Play from 0");
}

std::optional<uint32_t> FilePlayers::Mp3Position() {
  // MPEGVideo's time format is milliseconds unless set otherwise. Past the
  // end, until the next tick plays it again, the position is the length.
  const std::string reply = mci_.QueryMci("status MP3Play position");
  if (reply.empty() || reply.size() > 9 || reply.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  uint32_t position = 0;
  for (char c : reply) position = position * 10 + static_cast<uint32_t>(c - '0');
  return position;
}

void FilePlayers::Mp3Stop() {
  mci_.SendMciDirect("stop MP3Play");
  mci_.SendMciDirect("close MP3Play");
}

bool FilePlayers::WavPlay() {
  if (!IsMusicPath(settings_.MusicFile) || sound_.WaveOutDeviceCount() <= 0) return false;
  LastApiResult = sound_.Play(settings_.MusicFile.c_str(), kLoopFlags);
  return LastApiResult != 0;
}

void FilePlayers::WavStop() { LastApiResult = sound_.Play(nullptr, 0); }

}  // namespace qb
