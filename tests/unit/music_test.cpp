#include <gtest/gtest.h>

#include "fake_mci.h"
#include "music/mci_channel.h"
#include "music/players.h"
#include "platform/last_api_result.h"
#include "platform/texts.h"

namespace qb {
namespace {

using Log = std::vector<std::string>;
using test::FakeMci;
using test::FakeSound;

const Log kStatusQueries = {"status cdaudio current track", "status cdaudio number of tracks",
                            "status cdaudio mode"};

Log Plus(Log log, const Log& more) {
  log.insert(log.end(), more.begin(), more.end());
  return log;
}

// --- The command channel -------------------------------------------------

TEST(MciChannel, AnEmptyCommandIsNotSent) {
  FakeMci mci;
  MciChannel channel(mci);
  LastApiResult = 42;
  std::string text;
  EXPECT_EQ(channel.SendMciCommand("", text), -1);
  EXPECT_EQ(text, texts::kMciNoCommand);
  EXPECT_TRUE(mci.log.empty());
  EXPECT_EQ(LastApiResult, 42);
  EXPECT_EQ(channel.QueryMci(""), "Error:-1");
  EXPECT_EQ(LastApiResult, -1);
}

TEST(MciChannel, RepliesErrorsAndTheirTexts) {
  FakeMci mci;
  MciChannel channel(mci);
  std::string text = "old";
  EXPECT_EQ(channel.SendMciCommand("open cdaudio", text), 0);
  EXPECT_EQ(text, "");  // a successful command with an empty reply

  mci.driveExists = false;
  EXPECT_EQ(channel.SendMciCommand("status cdaudio mode", text), 266);
  EXPECT_EQ(text, "cannot load driver");
  EXPECT_EQ(LastApiResult, 266);

  EXPECT_EQ(channel.SendMciCommand("close cdaudio", text), 263);  // no description for 263
  EXPECT_EQ(text, texts::kMciNoErrorText);
  EXPECT_EQ(std::string(texts::kMciNoErrorText),
            "Error (\x95\xB6\x8E\x9A\x97\xF1\x82\xAA\x8E\xE6\x82\xEA\x82\xDC\x82\xB9\x82\xF1)");

  EXPECT_EQ(channel.QueryMci("status cdaudio current track"), "Error:266");
  EXPECT_EQ(LastApiResult, 266);
}

TEST(MciChannel, OnlyTheReplyBeforeTheFirstNulCounts) {
  FakeMci mci;
  MciChannel channel(mci);
  mci.forcedReplies["long"] = std::string(300, 'L');
  mci.forcedReplies["short"] = "ok";
  EXPECT_EQ(channel.QueryMci("long"), std::string(300, 'L'));
  EXPECT_EQ(channel.QueryMci("short"), "ok");  // no leftovers of the longer reply
  mci.forcedReplies["huge"] = std::string(2000, 'H');
  EXPECT_EQ(channel.QueryMci("huge"), std::string(511, 'H'));
}

TEST(MciChannel, AnUnterminatedReplyIsNeverReadPastTheBuffer) {
  FakeMci mci;
  MciChannel channel(mci);
  mci.unterminatedReplies = true;
  mci.forcedReplies["x"] = "abc";
  EXPECT_EQ(channel.QueryMci("x").size(), MciChannel::kReturnBufferSize);
  mci.errorTexts[7] = "e";
  mci.forcedErrors["y"] = 7;
  std::string text;
  channel.SendMciCommand("y", text);
  EXPECT_EQ(text.size(), MciChannel::kErrorBufferSize);
}

TEST(MciChannel, PlayCommandsCarryOnlyThePositionsGiven) {
  FakeMci mci;
  MciChannel channel(mci);
  channel.PlayMci("cdaudio", "", "");
  channel.PlayMci("cdaudio", "02:00:00:00", "");
  channel.PlayMci("cdaudio", "", "03:00:00:00");
  channel.PlayMci("cdaudio", "02:00:00:00", "03:00:00:00");
  EXPECT_EQ(mci.log, (Log{"play cdaudio", "play cdaudio from 02:00:00:00", "play cdaudio to 03:00:00:00",
                          "play cdaudio from 02:00:00:00 to 03:00:00:00"}));
  EXPECT_EQ(channel.SendMciDirect("close cdaudio"), 263);  // never opened
  EXPECT_EQ(LastApiResult, 263);
  EXPECT_EQ(channel.SendMciDirect("open cdaudio"), 0);
  EXPECT_EQ(LastApiResult, 0);
  EXPECT_EQ(mci.log.back(), "open cdaudio");
}

// --- The CD player --------------------------------------------------------

class CdTest : public ::testing::Test {
 protected:
  FakeMci mci;
  MciChannel channel{mci};
  SettingsValues settings;
  CdPlayer cd{channel, settings};

  // One Timer2 tick: 200 ms of playback, then a poll.
  Log Tick() {
    mci.Advance(200);
    mci.TakeLog();
    cd.CdPoll();
    return mci.TakeLog();
  }
};

TEST_F(CdTest, OpenSetsTheTimeFormatAndTheFirstTickPlays) {
  cd.CdOpen();
  EXPECT_EQ(mci.TakeLog(), (Log{"open cdaudio", "set cdaudio time format tmsf"}));
  EXPECT_EQ(Tick(), Plus(kStatusQueries, {"play cdaudio"}));
  EXPECT_TRUE(cd.CdKeepPolling());
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Tick(), kStatusQueries);
  EXPECT_EQ(mci.cdMode, "playing");
}

TEST_F(CdTest, WithoutRepeatAStoppedDiscIsPlayedAgainFromWhereItIs) {
  mci.trackCount = 2;
  mci.trackLengthMs = 1000;
  cd.CdOpen();
  Tick();
  Log all;
  for (int i = 0; i < 15; ++i) all = Plus(all, Tick());
  EXPECT_EQ(std::count(all.begin(), all.end(), "play cdaudio"), 1);  // the disc ended once
  EXPECT_TRUE(cd.CdKeepPolling());
}

TEST_F(CdTest, RepeatBringsTheTrackBackWhenTheDiscMovesOn) {
  settings.RepeatTrack = 3;
  mci.trackLengthMs = 1000;
  cd.CdOpen();
  EXPECT_EQ(Tick(), Plus(kStatusQueries, {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));
  EXPECT_EQ(mci.cdTrack, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Tick(), kStatusQueries);  // playing track 3
  mci.Advance(400);  // into track 4
  ASSERT_EQ(mci.cdTrack, 4);
  EXPECT_EQ(Tick(), Plus(kStatusQueries, {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));
  EXPECT_EQ(mci.cdTrack, 3);
}

TEST_F(CdTest, RepeatLeavesAPausedRepeatTrackAlone) {
  settings.RepeatTrack = 3;
  cd.CdOpen();
  Tick();
  mci.cdMode = "paused";
  EXPECT_EQ(Tick(), kStatusQueries);
  EXPECT_EQ(Tick(), kStatusQueries);
}

TEST_F(CdTest, NoDriveOrNoDiscGivesUpOnTheFirstTick) {
  mci.driveExists = false;
  cd.CdOpen();
  EXPECT_EQ(Tick(), Log{"status cdaudio current track"});
  EXPECT_FALSE(cd.CdKeepPolling());

  FakeMci noDisc;
  noDisc.discPresent = false;
  MciChannel channel2(noDisc);
  CdPlayer cd2(channel2, settings);
  cd2.CdOpen();
  noDisc.TakeLog();
  cd2.CdPoll();
  EXPECT_FALSE(cd2.CdKeepPolling());
  EXPECT_EQ(noDisc.log, Log{"status cdaudio current track"});
}

TEST_F(CdTest, ARepliedErrWordInAnyCaseCountsAsFailure) {
  cd.CdOpen();
  mci.forcedReplies["status cdaudio number of tracks"] = "no disc: eRr";
  EXPECT_EQ(Tick(), (Log{"status cdaudio current track", "status cdaudio number of tracks"}));
  EXPECT_FALSE(cd.CdKeepPolling());
  // A later good tick makes polling go on again for this routine's caller.
  mci.forcedReplies.clear();
  Tick();
  EXPECT_TRUE(cd.CdKeepPolling());
}

TEST_F(CdTest, TheModeIsComparedOnItsFirstSevenCharacters) {
  cd.CdOpen();
  mci.forcedReplies["status cdaudio mode"] = "stopped, and then some";
  EXPECT_EQ(Tick(), Plus(kStatusQueries, {"play cdaudio"}));
  mci.forcedReplies["status cdaudio mode"] = "Stopped";
  EXPECT_EQ(Tick(), kStatusQueries);
  mci.forcedReplies["status cdaudio mode"] = "stoppe";
  EXPECT_EQ(Tick(), kStatusQueries);
}

TEST_F(CdTest, AFailedModeQueryDecidesOnTheLastReply) {
  cd.CdOpen();
  Tick();  // reads "stopped", plays
  mci.forcedErrors["status cdaudio mode"] = 276;
  EXPECT_EQ(Tick(), Plus(kStatusQueries, {"play cdaudio"}));  // the buffer still says "stopped"
  EXPECT_EQ(LastApiResult, 0);  // the play command came last
}

TEST_F(CdTest, ARepeatTrackBeyondTheDiscStaysSilentButKeepsPolling) {
  settings.RepeatTrack = 9;
  cd.CdOpen();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Tick(), Plus(kStatusQueries, {"status cdaudio position track 9"}));
    EXPECT_TRUE(cd.CdKeepPolling());
  }
  EXPECT_EQ(mci.cdMode, "stopped");
  // Only a position from the device goes into the play command.
  settings.RepeatTrack = 2;
  mci.forcedReplies["status cdaudio position track 2"] = "02:00:00:00 notify";
  EXPECT_EQ(Tick(), Plus(kStatusQueries, {"status cdaudio position track 2"}));
}

TEST_F(CdTest, ACurrentTrackThatIsNotANumberEndsPollingWhenRepeating) {
  settings.RepeatTrack = 2;
  cd.CdOpen();
  mci.forcedReplies["status cdaudio current track"] = "two";
  EXPECT_EQ(Tick(), kStatusQueries);
  EXPECT_FALSE(cd.CdKeepPolling());
  // Without repeat the track number is never compared.
  settings.RepeatTrack = 0;
  EXPECT_EQ(Tick(), Plus(kStatusQueries, {"play cdaudio"}));
  EXPECT_TRUE(cd.CdKeepPolling());
}

TEST_F(CdTest, StopStopsAndCloses) {
  cd.CdOpen();
  Tick();
  cd.CdStop();
  EXPECT_EQ(mci.TakeLog(), (Log{"stop cdaudio", "close cdaudio"}));
  EXPECT_FALSE(mci.cdOpen);
}

TEST_F(CdTest, AnUnterminatedModeReplyStaysInsideItsBuffer) {
  cd.CdOpen();
  mci.unterminatedReplies = true;
  mci.forcedReplies["status cdaudio mode"] = "stopped";
  Tick();
  EXPECT_TRUE(cd.CdKeepPolling());
}

// --- MP3 and WAV ----------------------------------------------------------

class FileMusicTest : public ::testing::Test {
 protected:
  FakeMci mci;
  MciChannel channel{mci};
  FakeSound sound;
  SettingsValues settings{kMusicFile, 7, u"C:\\My Music\\loop.mp3", u"C:\\My Music"};
  FilePlayers players{channel, sound, settings};

  void SetUp() override { mci.decodableFiles = {test::Utf8(settings.MusicFile)}; }
  // One Timer1 tick: a second of playback, then the keep-looping check.
  Log Tick() {
    mci.Advance(1000);
    mci.TakeLog();
    players.Mp3KeepLooping();
    return mci.TakeLog();
  }
};

TEST_F(FileMusicTest, OpenQuotesThePathAndStartsPlaying) {
  players.Mp3Open();
  EXPECT_EQ(mci.log, (Log{"open \"C:\\My Music\\loop.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}));
  EXPECT_EQ(mci.mp3Mode, "playing");
}

TEST_F(FileMusicTest, TheFileIsRestartedWithinOneTickOfItsEnd) {
  players.Mp3Open();
  EXPECT_EQ(Tick(), Log{"status MP3Play mode"});
  EXPECT_EQ(Tick(), Log{"status MP3Play mode"});
  // 3 s in, the 2.5 s file has ended: stop first, so the device reports
  // "playing" again after the restart.
  EXPECT_EQ(Tick(), (Log{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
  EXPECT_EQ(mci.mp3Mode, "playing");
  EXPECT_EQ(mci.mp3PosMs, 0);
  EXPECT_EQ(Tick(), Log{"status MP3Play mode"});
}

TEST_F(FileMusicTest, ThePositionIsTheDevicesOwnAndNothingElse) {
  EXPECT_EQ(players.Mp3Position(), std::nullopt);  // not open
  players.Mp3Open();
  Tick();
  EXPECT_EQ(players.Mp3Position(), 1000u);
  for (const char* reply : {"", "12a", "-5", "1234567890", "Error"}) {
    mci.forcedReplies["status MP3Play position"] = reply;
    EXPECT_EQ(players.Mp3Position(), std::nullopt) << reply;
  }
}

TEST_F(FileMusicTest, AFailedOpenNeverPlaysButEveryTickTriesAgain) {
  settings.MusicFile = u"C:\\broken.mp3";
  players.Mp3Open();
  EXPECT_EQ(mci.log, Log{"open \"C:\\broken.mp3\" type MPEGVideo Alias MP3Play"});
  EXPECT_EQ(LastApiResult, 277);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Tick(), (Log{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
  }
}

TEST_F(FileMusicTest, TheModeBufferKeepsItsLastReplyAndItsBounds) {
  players.Mp3Open();
  Tick();
  mci.forcedErrors["status MP3Play mode"] = 263;
  EXPECT_TRUE(players.Mp3IsPlaying());  // still "playing" from the last good reply
  mci.forcedErrors.clear();
  mci.forcedReplies["status MP3Play mode"] = std::string(100, 'p');
  EXPECT_FALSE(players.Mp3IsPlaying());
  mci.unterminatedReplies = true;
  mci.forcedReplies["status MP3Play mode"] = "playing";
  EXPECT_TRUE(players.Mp3IsPlaying());
}

TEST_F(FileMusicTest, StopStopsAndCloses) {
  players.Mp3Open();
  mci.TakeLog();
  players.Mp3Stop();
  EXPECT_EQ(mci.log, (Log{"stop MP3Play", "close MP3Play"}));
  EXPECT_FALSE(mci.mp3Open);
}

TEST_F(FileMusicTest, APathBeyondAsciiReachesTheDevicesWhole) {
  settings.MusicFile = u"C:\\\u97f3\u697d\\\u00c9t\u00e9 \U0001F3B5.mp3";
  const std::string utf8 = test::Utf8(settings.MusicFile);
  mci.decodableFiles = {utf8};
  players.Mp3Open();
  EXPECT_EQ(mci.log, (Log{"open \"" + utf8 + "\" type MPEGVideo Alias MP3Play", "play MP3Play"}));
  settings.MusicFile = u"C:\\\u97f3\u697d\\\u00c9t\u00e9.wav";
  players.WavPlay();
  EXPECT_EQ(sound.calls, Log{test::Utf8(settings.MusicFile) + "|131083"});
  // A path no file has (a pipe, a quote that would end the MCI name) reaches neither.
  for (const char16_t* path : {u"\\\\.\\pipe\\qb.mp3", u"C:\\a\" wait x.mp3", u"C:\\a\rb.wav"}) {
    settings.MusicFile = path;
    players.Mp3Open();
    players.WavPlay();
  }
  EXPECT_EQ(mci.log.size() + sound.calls.size(), 3u);
}

TEST_F(FileMusicTest, WavLoopsThroughTheSoundPlayerWhenThereIsADevice) {
  settings.MusicFile = u"C:\\a b\\loop.wav";
  EXPECT_TRUE(players.WavPlay());
  players.WavStop();
  EXPECT_EQ(sound.calls, (Log{"C:\\a b\\loop.wav|131083", "<null>|0"}));
  EXPECT_TRUE(mci.log.empty());

  sound.calls.clear();
  sound.devices = 0;
  EXPECT_FALSE(players.WavPlay());
  EXPECT_TRUE(sound.calls.empty());
}

TEST_F(FileMusicTest, ResultsOfTheLastCommandAreKept) {
  players.Mp3Open();
  EXPECT_EQ(LastApiResult, 0);
  players.Mp3Stop();
  players.Mp3Stop();  // the alias is gone by now
  EXPECT_EQ(LastApiResult, 263);
  EXPECT_FALSE(players.Mp3IsPlaying());
  EXPECT_EQ(LastApiResult, 263);  // the mode query failed too
}

// --- All players together -------------------------------------------------

TEST(MusicPlayers, EveryPlayerSpeaksThroughTheOneDevicePort) {
  FakeMci mci;
  FakeSound sound;
  SettingsValues settings{kMusicFile, 0, u"C:\\m\\a.mp3", u"C:\\m"};
  mci.decodableFiles = {test::Utf8(settings.MusicFile)};
  MusicPlayers music(mci, sound, settings);
  music.CdOpen();
  music.Mp3Open();
  music.Mp3Stop();
  music.CdStop();
  EXPECT_EQ(mci.log, (Log{"open cdaudio", "set cdaudio time format tmsf",
                          "open \"C:\\m\\a.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play",
                          "stop MP3Play", "close MP3Play", "stop cdaudio", "close cdaudio"}));
}

}  // namespace
}  // namespace qb
