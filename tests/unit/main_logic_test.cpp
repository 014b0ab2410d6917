#include "app/main_logic.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "platform/texts.h"

namespace qb {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  const SettingsPlaces places{u"C:\\Q", u""};
  test::FakeDesktop desktop;
  test::FakeFileSystem files;
  test::IconvCodec codec;
  SettingsValues settings;
  int32_t savedCursor = 12345;  // "unset"

  void SetUp() override { files.readable = {u"C:\\Q\\Quillbright.dll"}; }
  MainDecision Decide(const std::string& args) {
    return DecideStartup(args, places, {desktop, files, codec}, settings, savedCursor);
  }
  bool MessageShown() const { return desktop.CountCalls("message ") > 0; }
};

TEST_F(StartupTest, ModesByArgumentString) {
  const struct {
    const char* args;
    MainOutcome outcome;
  } cases[] = {
      {"/s", MainOutcome::RunSaver},         {"/S", MainOutcome::RunSaver},
      {"-s", MainOutcome::RunSaver},         {"/s 99", MainOutcome::RunSaver},
      {"/s:123", MainOutcome::RunSaver},     {"", MainOutcome::RunSaver},
      {"/c", MainOutcome::ShowSettingsDialog}, {"/C", MainOutcome::ShowSettingsDialog},
      {"/c:5678", MainOutcome::ShowSettingsDialog}, {"/p 1234", MainOutcome::EmbedPreview},
      {"/P:1234", MainOutcome::EmbedPreview}, {"/a", MainOutcome::EndProcess},
      {"/x", MainOutcome::EndProcess},        {"S", MainOutcome::EndProcess},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Decide(c.args).outcome, c.outcome) << c.args;
  }
  EXPECT_FALSE(MessageShown());
}

TEST_F(StartupTest, PreviewPassesTheHandleWithoutReadingSettingsOrLookingForTheCompanion) {
  MainDecision d = Decide("/p 1234");
  EXPECT_EQ(d.previewHost, 1234);
  EXPECT_TRUE(files.asked.empty());
  EXPECT_TRUE(Decide("/p abc").outcome == MainOutcome::EmbedPreview);
  EXPECT_EQ(Decide("/p abc").previewHost, 0);
  EXPECT_EQ(Decide("/p").previewHost, 0);
  files.readable.clear();
  EXPECT_EQ(Decide("/p 5").outcome, MainOutcome::EmbedPreview);
  EXPECT_FALSE(MessageShown());
}

TEST_F(StartupTest, ASecondInstanceEndsSilentlyInEveryMode) {
  for (const char* title : {texts::kSaverWindowTitle, texts::kSettingsDialogTitle}) {
    desktop.windows = {title};
    for (const char* args : {"/s", "/p 1234", "/c", ""}) {
      desktop.calls.clear();
      EXPECT_EQ(Decide(args).outcome, MainOutcome::EndProcess) << title << " " << args;
      // Both windows are always looked for, and nothing else happens.
      EXPECT_EQ(desktop.calls, (std::vector<std::string>{std::string("find ") + texts::kSaverWindowTitle,
                                                         std::string("find ") + texts::kSettingsDialogTitle}));
    }
  }
  EXPECT_EQ(savedCursor, 12345);
  EXPECT_TRUE(files.asked.empty());
}

TEST_F(StartupTest, AMissingCompanionShowsTheOneMessageAndEnds) {
  files.readable.clear();
  for (const char* args : {"/s", "/c", "/a", ""}) {
    desktop.calls.clear();
    EXPECT_EQ(Decide(args).outcome, MainOutcome::EndProcess) << args;
    ASSERT_EQ(desktop.CountCalls("message "), 1u) << args;
    EXPECT_EQ(desktop.calls.back(),
              std::string("message Quillbright (ScreenSaver)|") + texts::kCompanionMissing);
  }
  EXPECT_EQ(files.asked.back(), u"C:\\Q\\Quillbright.dll");
  EXPECT_EQ(desktop.CountCalls("cursor"), 0u);
  EXPECT_EQ(savedCursor, 12345);
}

TEST_F(StartupTest, TheMessageTextIsItsCodePage932Bytes) {
  EXPECT_EQ(std::string(texts::kCompanionMissing),
            "Quillbright.dll \x82\xAA\x93\xAF\x82\xB6\xCC\xAB\xD9\xC0\xDE\x82\xC9\x8C\xA9\x82\xC2"
            "\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x49");
}

TEST_F(StartupTest, SettingsAreLoadedBeforeTheCompanionCheck) {
  files.contents[u"C:\\Q\\Quillbright.ini"] = std::string("[Section]\n") + texts::kKeyMusicKind + "=1\n";
  files.readable.clear();
  Decide("/s");
  EXPECT_EQ(settings.MusicKind, 1);
}

// Only the dialog keeps a stored music file it cannot reach now.
TEST_F(StartupTest, TheDialogKeepsAnUnreachableMusicFile) {
  files.contents[u"C:\\Q\\Quillbright.ini"] =
      std::string("[Section]\n") + texts::kKeyMusicKind + "=2\n" + texts::kKeyMusicFile + "=E:\\a.wav\n";
  Decide("/c");
  EXPECT_EQ(settings.MusicKind, 2);
  EXPECT_EQ(settings.MusicFile, u"E:\\a.wav");
  settings = {};
  Decide("/s");
  EXPECT_EQ(settings.MusicKind, 0);
  EXPECT_EQ(settings.MusicFile, u"");
}

TEST_F(StartupTest, OnlySaverModeHidesTheCursor) {
  desktop.cursorCounter = 0;
  EXPECT_EQ(Decide("/s").outcome, MainOutcome::RunSaver);
  EXPECT_EQ(desktop.CountCalls("cursor 0"), 1u);
  EXPECT_EQ(savedCursor, -1);

  savedCursor = 12345;
  desktop.calls.clear();
  EXPECT_EQ(Decide("").outcome, MainOutcome::RunSaver);
  EXPECT_EQ(desktop.CountCalls("cursor"), 0u);
  EXPECT_EQ(savedCursor, 12345);

  for (const char* args : {"/c", "/a", "S"}) Decide(args);
  EXPECT_EQ(desktop.CountCalls("cursor"), 0u);
}

}  // namespace
}  // namespace qb
