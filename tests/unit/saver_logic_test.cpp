#include "saver/saver_logic.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes.h"
#include "platform/texts.h"

namespace qb {
namespace {

class FakeTimers : public SaverTimers {
 public:
  bool enabled[3] = {false, false, true};
  void SetEnabled(SaverTimer t, bool on) override { enabled[static_cast<int>(t)] = on; }
  bool IsEnabled(SaverTimer t) const override { return enabled[static_cast<int>(t)]; }
};

class FakeMusic : public SaverMusic {
 public:
  std::vector<std::string> calls;
  bool keepPolling = true;
  void CdOpen() override { calls.push_back("CdOpen"); }
  void CdPoll() override { calls.push_back("CdPoll"); }
  bool CdKeepPolling() const override { return keepPolling; }
  void CdStop() override { calls.push_back("CdStop"); }
  void Mp3Open() override { calls.push_back("Mp3Open"); }
  void Mp3KeepLooping() override { calls.push_back("Mp3KeepLooping"); }
  void Mp3Stop() override { calls.push_back("Mp3Stop"); }
  bool wavPlays = true;
  bool WavPlay() override { return calls.push_back("WavPlay"), wavPlays; }
  void WavStop() override { calls.push_back("WavStop"); }
  std::optional<uint32_t> position;
  std::optional<uint32_t> Mp3Position() override { return position; }
};

class FakeShare : public MusicShare {
 public:
  uint64_t now = 5000;
  std::vector<MusicBlock> published;
  test::FakeDesktop* desktop = nullptr;
  uint64_t Milliseconds() override { return now; }
  void Publish(const MusicBlock& block) override { published.push_back(block), desktop->calls.push_back("publish"); }
};

using Calls = std::vector<std::string>;

class SaverTest : public ::testing::Test {
 protected:
  SettingsValues settings;
  int32_t savedCursor = -1;
  FakeMusic music;
  FakeTimers timers;
  test::FakeDesktop desktop;
  std::string args = "/s";

  // Start-up hid the cursor: the display counter stands at -1.
  void SetUp() override { desktop.cursorCounter = -1; }

  FakeShare share;
  SaverLogic Make(MusicShare* with = nullptr) {
    share.desktop = &desktop;
    return SaverLogic(settings, u"C:\\Program Files\\Q", args, savedCursor, music, timers, desktop, with);
  }
  bool On(SaverTimer t) const { return timers.IsEnabled(t); }
  // The started program's own window.
  void ShowCompanion(bool shown) {
    for (auto* windows : {&desktop.windows, &desktop.child.windows}) {
      if (shown) {
        windows->insert(texts::kCompanionWindowTitle);
      } else {
        windows->erase(texts::kCompanionWindowTitle);
      }
    }
  }
  // A window of the same title that another process owns.
  void ShowStrayWindow() { desktop.windows.insert(texts::kCompanionWindowTitle); }
};

TEST(MusicFileType, IsDecidedByTheLastThreeCharacters) {
  EXPECT_EQ(MusicFileTypeOf(u"C:\\a.wav"), MusicFileType::Wav);
  EXPECT_EQ(MusicFileTypeOf(u"C:\\a.Wav"), MusicFileType::Wav);
  EXPECT_EQ(MusicFileTypeOf(u"C:\\a.MP3"), MusicFileType::Mp3);
  EXPECT_EQ(MusicFileTypeOf(u"C:\\a.Mp3"), MusicFileType::Mp3);
  EXPECT_EQ(MusicFileTypeOf(u"C:\\awav"), MusicFileType::Wav);  // the dot is not looked at
  EXPECT_EQ(MusicFileTypeOf(u"C:\\a.mid"), MusicFileType::None);
  EXPECT_EQ(MusicFileTypeOf(u"mp3"), MusicFileType::Mp3);
  EXPECT_EQ(MusicFileTypeOf(u"p3"), MusicFileType::None);
  EXPECT_EQ(MusicFileTypeOf(u""), MusicFileType::None);
  // Letters beyond ASCII are no match, whatever their case.
  EXPECT_EQ(MusicFileTypeOf(u"C:\\a.\uFF37AV"), MusicFileType::None);
  EXPECT_EQ(MusicFileTypeOf(u"C:\\\u30E8WAV"), MusicFileType::Wav);
}

TEST_F(SaverTest, LoadStartsTheMusicOfEachKindThenTheCompanion) {
  settings.MusicKind = kAudioCd;
  Make().FormLoad();
  EXPECT_EQ(music.calls, Calls{"CdOpen"});
  EXPECT_TRUE(On(SaverTimer::Timer2));
  EXPECT_FALSE(On(SaverTimer::Timer1));

  music.calls.clear();
  timers = {};
  settings = {kMusicFile, 0, u"C:\\m\\a.wav", u"C:\\m"};
  Make().FormLoad();
  EXPECT_EQ(music.calls, Calls{"WavPlay"});
  EXPECT_FALSE(On(SaverTimer::Timer1));
  EXPECT_FALSE(On(SaverTimer::Timer2));

  music.calls.clear();
  settings.MusicFile = u"C:\\m\\a.Mp3";
  Make().FormLoad();
  EXPECT_EQ(music.calls, Calls{"Mp3Open"});
  EXPECT_TRUE(On(SaverTimer::Timer1));

  music.calls.clear();
  timers = {};
  for (int16_t kind : {0, 3, -1}) {
    settings = {kind, 0, u"C:\\m\\a.mp3", u"C:\\m"};
    Make().FormLoad();
  }
  settings = {kMusicFile, 0, u"C:\\m\\a.mid", u"C:\\m"};
  Make().FormLoad();
  EXPECT_TRUE(music.calls.empty());
  EXPECT_FALSE(On(SaverTimer::Timer1));
  EXPECT_FALSE(On(SaverTimer::Timer2));
  EXPECT_TRUE(On(SaverTimer::Timer3));
}

TEST_F(SaverTest, ThePresentationIsToldOfTheFileBeforeItStartsAndOfEachMp3Position) {
  struct Case { int16_t kind; const char16_t* file; std::optional<BlockMusicKind> shared; bool plays = true; };
  for (const Case& c : {Case{kMusicFile, u"C:\\m\\a.wav", BlockMusicKind::Wav}, Case{kMusicFile, u"C:\\m\\b.wav", {}, false},
                        Case{kMusicFile, u"C:\\m\\a.MP3", BlockMusicKind::Mp3}, Case{kAudioCd, u"C:\\m\\a.wav", {}},
                        Case{kMusicFile, u"C:\\m\\a.mid", {}}, Case{kMusicFile, u"\\\\.\\pipe\\a.wav", {}}}) {
    settings = {c.kind, 0, c.file, u"C:\\m"};
    music.wavPlays = c.plays;
    share.published.clear();
    desktop.calls.clear();
    Make(&share).FormLoad();
    ASSERT_EQ(share.published.size(), c.shared ? 1u : 0u) << test::Utf8(c.file);
    if (!c.shared) continue;
    EXPECT_EQ(desktop.calls.front(), "publish");
    const MusicBlock& b = share.published[0];
    EXPECT_EQ(std::tuple(b.kind, b.path, b.playing, b.startMs, b.hasPosition), std::tuple(*c.shared, c.file, true, 5000u, false));
  }

  // Each tick passes on where the MP3 stands; a restart moves its start.
  settings.MusicFile = u"C:\\m\\a.mp3";
  share.published.clear();
  SaverLogic saver = Make(&share);
  saver.FormLoad();
  const std::pair<std::optional<uint32_t>, uint64_t> ticks[] = {{900, 5000}, {1900, 5000}, {150, 7850}, {{}, 7850}};
  for (const auto& [position, start] : ticks) {
    share.now += 1000;
    music.position = position;
    saver.Timer1Tick();
    const MusicBlock& b = share.published.back();
    EXPECT_EQ(std::tuple(b.playing, b.hasPosition, b.positionMs, b.positionAtMs, b.startMs),
              std::tuple(position.has_value(), position.has_value(), position.value_or(0), share.now, start));
  }
  EXPECT_EQ(share.published.size(), 5u);
}

TEST_F(SaverTest, MusicStartsBeforeTheCompanion) {
  settings = {kMusicFile, 0, u"C:\\m\\a.wav", u"C:\\m"};
  SaverLogic saver = Make();
  saver.FormLoad();
  EXPECT_EQ(desktop.started, (std::vector<std::string>{"C:\\Program Files\\Q\\Quillbright.dll"}));
  EXPECT_EQ(saver.CompanionPath(), u"C:\\Program Files\\Q\\Quillbright.dll");
  EXPECT_EQ(saver.CompanionSeen(), 0);
}

TEST_F(SaverTest, EndsOnlyAfterTheCompanionWindowCameAndWent) {
  settings = {kMusicFile, 0, u"C:\\m\\a.mp3", u"C:\\m"};
  SaverLogic saver = Make();
  saver.FormLoad();
  for (int tick = 0; tick < 5; ++tick) saver.Timer3Tick();  // still starting up
  EXPECT_EQ(desktop.endCount, 0);
  EXPECT_EQ(saver.CompanionSeen(), 0);

  ShowCompanion(true);
  saver.Timer3Tick();
  EXPECT_EQ(saver.CompanionSeen(), 1);
  saver.Timer3Tick();
  EXPECT_EQ(desktop.endCount, 0);

  music.calls.clear();
  desktop.calls.clear();
  ShowCompanion(false);
  saver.Timer3Tick();
  EXPECT_FALSE(On(SaverTimer::Timer3));
  EXPECT_FALSE(On(SaverTimer::Timer1));
  EXPECT_EQ(music.calls, Calls{"Mp3Stop"});
  EXPECT_EQ(desktop.calls,
            (Calls{std::string("child window ") + texts::kCompanionWindowTitle, "cursor -1", "end"}));
  EXPECT_EQ(savedCursor, 0);
}

TEST_F(SaverTest, AWindowThatCameAndWentBetweenTicksIsNeverSeen) {
  SaverLogic saver = Make();
  saver.FormLoad();
  ShowCompanion(true);
  ShowCompanion(false);
  for (int tick = 0; tick < 3; ++tick) saver.Timer3Tick();
  EXPECT_EQ(saver.CompanionSeen(), 0);
  EXPECT_EQ(desktop.endCount, 0);
}

TEST_F(SaverTest, EndsWhenTheCompanionCannotStartOrEndsUnseen) {
  settings = {kMusicFile, 0, u"C:\\m\\a.wav", u"C:\\m"};
  desktop.startSucceeds = false;
  SaverLogic failed = Make();
  failed.FormLoad();
  EXPECT_EQ(desktop.endCount, 0);  // the close path runs on the watch's tick
  failed.Timer3Tick();
  EXPECT_EQ(desktop.endCount, 1);
  EXPECT_EQ(music.calls, (Calls{"WavPlay", "WavStop"}));
  EXPECT_FALSE(On(SaverTimer::Timer3));

  desktop = {};
  desktop.cursorCounter = -1;
  timers = {};
  SaverLogic quitter = Make();
  quitter.FormLoad();
  quitter.Timer3Tick();
  EXPECT_EQ(desktop.endCount, 0);
  desktop.child.ended = true;
  quitter.Timer3Tick();
  EXPECT_EQ(desktop.endCount, 1);
}

TEST_F(SaverTest, AStrayWindowOfTheSameTitleNeitherStandsInNorKeepsTheSaverAlive) {
  settings = {kMusicFile, 0, u"C:\\m\\a.wav", u"C:\\m"};
  ShowStrayWindow();  // another program's, or left from an earlier run
  SaverLogic saver = Make();
  saver.FormLoad();
  for (int tick = 0; tick < 3; ++tick) saver.Timer3Tick();
  EXPECT_EQ(saver.CompanionSeen(), 0);

  ShowCompanion(true);
  saver.Timer3Tick();
  EXPECT_EQ(saver.CompanionSeen(), 1);
  desktop.child.windows.clear();  // the presentation ends; the stray stays
  saver.Timer3Tick();
  EXPECT_EQ(desktop.endCount, 1);
  EXPECT_EQ(music.calls, (Calls{"WavPlay", "WavStop"}));

  // A companion that ends without a window of its own ends the saver too.
  desktop = {};
  ShowStrayWindow();
  SaverLogic unseen = Make();
  unseen.FormLoad();
  unseen.Timer3Tick();
  desktop.child.ended = true;
  unseen.Timer3Tick();
  EXPECT_EQ(unseen.CompanionSeen(), 0);
  EXPECT_EQ(desktop.endCount, 1);
}

TEST_F(SaverTest, EndsWhenTheCompanionsProcessEndsWhileItsWindowIsStillListed) {
  SaverLogic saver = Make();
  saver.FormLoad();
  ShowCompanion(true);
  saver.Timer3Tick();
  desktop.child.ended = true;
  saver.Timer3Tick();
  EXPECT_EQ(desktop.endCount, 1);
}

TEST_F(SaverTest, AnOutsideCloseTakesTheSameClosePath) {
  settings.MusicKind = kAudioCd;
  SaverLogic saver = Make();
  saver.FormLoad();
  saver.FormQueryUnload();
  EXPECT_EQ(music.calls, (Calls{"CdOpen", "CdStop"}));
  EXPECT_FALSE(On(SaverTimer::Timer2));
  EXPECT_EQ(desktop.endCount, 1);
  EXPECT_EQ(savedCursor, 0);
  // A second request while closing changes nothing.
  saver.FormQueryUnload();
  EXPECT_EQ(desktop.endCount, 1);
  EXPECT_EQ(desktop.CountCalls("cursor"), 1u);
}

TEST_F(SaverTest, CloseStopsTheFileMusicThatLoadStarted) {
  settings = {kMusicFile, 0, u"C:\\m\\a.wav", u"C:\\m"};
  SaverLogic wav = Make();
  wav.FormLoad();
  settings.MusicFile = u"C:\\m\\b.mp3";
  wav.FormQueryUnload();
  EXPECT_EQ(music.calls, (Calls{"WavPlay", "WavStop"}));

  music.calls.clear();
  timers = {};
  settings = {kMusicFile, 0, u"C:\\m\\a.mp3", u"C:\\m"};
  SaverLogic mp3 = Make();
  mp3.FormLoad();
  settings.MusicKind = kNoMusic;
  mp3.FormQueryUnload();
  EXPECT_EQ(music.calls, (Calls{"Mp3Open", "Mp3Stop"}));
  EXPECT_FALSE(On(SaverTimer::Timer1));
}

TEST_F(SaverTest, CdPollingThatGaveUpIsStillStoppedAndClosedOnClose) {
  settings.MusicKind = kAudioCd;
  SaverLogic saver = Make();
  saver.FormLoad();
  saver.Timer2Tick();
  EXPECT_TRUE(On(SaverTimer::Timer2));
  music.keepPolling = false;  // e.g. a track reply it could not read
  saver.Timer2Tick();
  EXPECT_FALSE(On(SaverTimer::Timer2));
  saver.FormQueryUnload();
  EXPECT_EQ(music.calls, (Calls{"CdOpen", "CdPoll", "CdPoll", "CdStop"}));
  EXPECT_FALSE(On(SaverTimer::Timer2));
}

TEST_F(SaverTest, TheMp3TimerKeepsTheFileLooping) {
  settings = {kMusicFile, 0, u"C:\\m\\a.mp3", u"C:\\m"};
  SaverLogic saver = Make();
  saver.FormLoad();
  saver.Timer1Tick();
  saver.Timer1Tick();
  EXPECT_EQ(music.calls, (Calls{"Mp3Open", "Mp3KeepLooping", "Mp3KeepLooping"}));
}

TEST_F(SaverTest, TheCursorIsGivenBackOnlyInSaverMode) {
  for (const char* a : {"", "/a", "S"}) {
    args = a;
    desktop = {};
    Make().FormQueryUnload();
    EXPECT_EQ(desktop.CountCalls("cursor"), 0u) << a;
    EXPECT_EQ(desktop.endCount, 1);
  }
  args = "-S 5";
  desktop = {};
  Make().FormQueryUnload();
  EXPECT_EQ(desktop.CountCalls("cursor -1"), 1u);
}

}  // namespace
}  // namespace qb
