#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "platform/file_replace.h"

namespace qb {
namespace {

TEST(ArgumentString, SkipsTheProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ(ArgumentString(u"\"C:\\Program Files\\Q\\Quillbright.scr\" /s"), u"/s");
  EXPECT_EQ(ArgumentString(u"C:\\WINDOWS\\Quillbright.scr /p 1234"), u"/p 1234");
  EXPECT_EQ(ArgumentString(u"Quillbright.scr \t  /c:5678"), u"/c:5678");
  EXPECT_EQ(ArgumentString(u"\"C:\\a b\\Quillbright.scr\""), u"");
  EXPECT_EQ(ArgumentString(u"Quillbright.scr"), u"");
  EXPECT_EQ(ArgumentString(u""), u"");
  // Blanks inside the arguments are kept; any letters may name the program.
  EXPECT_EQ(ArgumentString(u"x.scr /s  99"), u"/s  99");
  EXPECT_EQ(ArgumentString(u"\"C:\\qb_Caf\u00e9\\\u8868\u793a\\Q.scr\" /c"), u"/c");
}

// On UTF-16 no character but ':' and '\' has their values: not é (E9,
// which code page 932 takes for a lead byte), not 表 (95 5C in code page
// 932), not a character beyond the 16 bits.
TEST(FolderOfPath, IsTheTextBeforeTheLastColonOrBackslash) {
  const struct {
    std::u16string path;
    std::u16string folder;
  } cases[] = {
      {u"C:\\Music\\a.mp3", u"C:\\Music"},
      {u"C:\\a.mp3", u"C:"},
      {u"C:a.mp3", u"C:"},
      {u"\\\\server\\share\\dir\\a.wav", u"\\\\server\\share\\dir"},
      {u"a.mp3", u""},
      {u"", u""},
      {u"C:\\Music\\", u"C:\\Music"},
      {u"C:\\Caf\u00e9\\Quillbright.scr", u"C:\\Caf\u00e9"},
      {u"C:\\\u0421\u043a\u0440\u0438\u043d\u044b\\Quillbright.scr", u"C:\\\u0421\u043a\u0440\u0438\u043d\u044b"},
      {u"C:\\\u8868\\a.mp3", u"C:\\\u8868"},
      {u"C:\\\u8868.mp3", u"C:"},
      {u"C:\\\U0001F3B5\\\U0001F3B5.wav", u"C:\\\U0001F3B5"},
      // Characters whose low byte is a backslash (U+305C) or ':' (U+4E3A).
      {u"C:\\Music\\\u305c\u3093\u3076.wav", u"C:\\Music"},
      {u"C:\\Music\\\u4e3a.mp3", u"C:\\Music"},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << test::Utf8(c.path);
}

TEST(IsMusicPath, RefusesDevicesQuotesAndControlCharacters) {
  for (const char16_t* path : {u"C:\\Music\\a.mp3", u"\\\\server\\share\\a.wav", u"a.mp3", u"C:\\\u97f3.wav",
                               u"C:\\CONSOLE.mp3", u"C:\\COM10.mp3", u"C:\\LPT.wav", u"C:\\COM\u00b4.mp3",
                               u"C:\\nul_x.mp3", u"\\\\server\\pipes\\a.wav", u"\\\\server\\m\\pipe\\a.wav"}) {
    EXPECT_TRUE(IsMusicPath(path)) << test::Utf8(path);
  }
  for (const char16_t* path : {u"", u"\\\\.\\pipe\\qb.mp3", u"//./pipe/qb.mp3", u"\\\\?\\C:\\a.mp3",
                               u"\\\\?\\GLOBALROOT\\Device\\a.wav", u"\\??\\C:\\a.mp3", u"\\\\.", u"C:\\a\" wait x.mp3",
                               u"C:\\a\tb.mp3", u"C:\\a\x1f.wav",
                               // DOS devices, in any folder, with any extension, case, dots or spaces.
                               u"COM1", u"C:\\windows\\COM1.mp3", u"NUL", u"NUL.mp3", u"C:\\windows\\nul.txt.mp3",
                               u"con", u"C:\\x\\Prn.wav", u"aux . .mp3", u"C:\\x\\com0.mp3", u"lpt9.wav",
                               u"C:\\x\\LPT\u00b9.mp3", u"C:\\x\\com\u00b2.mp3", u"c:\\x\\COM\u00b3.wav",
                               u"C:\\conin$.mp3", u"CONOUT$", u"C:COM1", u"COM1:", u"C:\\NUL\\a.mp3", u"D:/x/nul.mp3",
                               // The pipe share on any host, either slash; \\?\UNC\ forms.
                               u"\\\\localhost\\pipe\\x", u"\\\\127.0.0.1\\pipe\\x", u"\\\\HOST\\PIPE\\x.mp3",
                               u"//host/Pipe/x.mp3", u"\\\\host/pipe\\x", u"\\\\host\\\\pipe\\x",
                               u"\\\\host\\pipe. \\x", u"\\\\host\\m\\..\\pipe\\x", u"\\\\?\\UNC\\host\\pipe\\x",
                               u"//?/unc/host/m/a.mp3", u"\\\\h\\ipc$\\x", u"\\\\;LanmanRedirector\\h\\pipe\\x"}) {
    EXPECT_FALSE(IsMusicPath(path)) << test::Utf8(path);
  }
}

TEST(FileExists, DropsOneTrailingBackslashAndAsksTheFileSystem) {
  test::FakeFileSystem files;
  files.readable = {u"C:\\a.wav", u"C:\\\u8868"};
  EXPECT_TRUE(FileExists(files, u"C:\\a.wav"));
  EXPECT_TRUE(FileExists(files, u"C:\\a.wav\\"));
  EXPECT_FALSE(FileExists(files, u"C:\\a.wav\\\\"));
  EXPECT_FALSE(FileExists(files, u"C:\\b.wav"));
  EXPECT_FALSE(FileExists(files, u""));
  EXPECT_FALSE(FileExists(files, u"\\"));
  EXPECT_TRUE(FileExists(files, u"C:\\\u8868"));
}

// A folder in memory whose ReplaceFile gives `answer` and does what Windows
// documents for it; kWriteFails: the new file cannot be written. Renames are
// refused for the new file or for every file; `holdBackup`: a scanner holds
// the backup ReplaceFile made: it can be copied, not renamed nor deleted.
struct FakeFileSteps : FileSteps {
  static constexpr uint32_t kWriteFails = ~0u;
  static constexpr uint32_t kTargetGone = ~1u;  // someone deleted the old file meanwhile
  enum Renames { kRenames, kNewFileStays, kNoRenames };
  std::map<std::u16string, std::string> files;
  uint32_t answer = 0;
  Renames renames = kRenames;
  bool holdBackup = false;
  std::set<std::u16string> held;

  std::optional<std::u16string> WriteNewFile(const std::u16string& folder, const std::string& content) override {
    if (answer == kWriteFails) return std::nullopt;
    return files[folder + u"\\qbs1.tmp"] = content, folder + u"\\qbs1.tmp";
  }
  std::optional<std::u16string> MakeBackupFile(const std::u16string& folder) override {
    std::u16string name = folder + u"\\qbs1.bak";
    while (files.count(name)) ++name[name.size() - 5];
    return files[name] = "", name;
  }
  std::vector<std::u16string> Backups(const std::u16string&) override {
    std::vector<std::u16string> found;
    for (const auto& file : files) file.first.find(u".bak") != file.first.npos ? found.push_back(file.first) : void();
    return found;
  }
  uint32_t Replace(const std::u16string& target, const std::u16string& replacement,
                   const std::u16string& backup) override {
    if (answer == kTargetGone) files.erase(target);
    if (!files.count(target)) return 2;
    if (answer == 0 || answer == kErrorUnableToMoveReplacement2) files[backup] = files[target], files.erase(target);
    if (answer == 0) files[target] = files[replacement], files.erase(replacement);
    if (holdBackup) held.insert(backup);
    return answer;
  }
  bool Move(const std::u16string& from, const std::u16string& to) override {
    const bool refused = renames == kNoRenames || (renames == kNewFileStays && from.find(u".tmp") != from.npos);
    return files.count(from) && !held.count(from) && !refused && (files[to] = files[from], files.erase(from));
  }
  bool Delete(const std::u16string& path) override { return !held.count(path) && files.erase(path) != 0; }
  bool Copy(const std::u16string& from, const std::u16string& to) override {
    return files.count(from) && !files.count(to) && (files[to] = files[from], true);
  }
  bool Exists(const std::u16string& path) override { return files.count(path) != 0; }
};

TEST(ReplaceWholeFile, LeavesTheOldFileOrTheNewOneWholeAndNothingElse) {
  const std::u16string ini = u"C:\\Q\\Quillbright.ini";
  using F = FakeFileSteps;
  const struct {
    const char* what;
    bool oldThere;
    uint32_t answer;
    F::Renames renames;
    const char16_t* earlier;  // a backup a save before left, or someone else's
    bool holdBackup;  // the old file then stays under its backup name too
    bool replaced;
  } cases[] = {
      {"replaced", true, 0, F::kRenames, nullptr, false, true},
      {"no old file", false, 0, F::kRenames, nullptr, false, true},
      {"1176: moved in after all", true, kErrorUnableToMoveReplacement, F::kRenames, nullptr, false, true},
      {"1176: no rename at all", true, kErrorUnableToMoveReplacement, F::kNoRenames, nullptr, false, false},
      {"1177: moved in after all", true, kErrorUnableToMoveReplacement2, F::kRenames, nullptr, false, true},
      {"1177: the new file stays", true, kErrorUnableToMoveReplacement2, F::kNewFileStays, nullptr, false, false},
      {"1177: no rename at all", true, kErrorUnableToMoveReplacement2, F::kNoRenames, nullptr, false, false},
      {"access denied", true, 5, F::kNewFileStays, nullptr, false, false},
      {"the write failed", true, F::kWriteFails, F::kRenames, nullptr, false, false},
      // A backup that cannot be deleted stays until the next save.
      {"replaced, the backup held", true, 0, F::kRenames, nullptr, true, true},
      {"replaced, a backup from before", true, 0, F::kRenames, u"qbs7.bak", false, true},
      // A .bak already there is never taken for the old file.
      {"first save, the new file stays, a .bak there", false, 0, F::kNewFileStays, u"qbs1.bak", false, false},
      {"1177: no rename at all, the backup held", true, kErrorUnableToMoveReplacement2, F::kNoRenames, u"qbs1.bak",
       true, false},
      {"the old file gone meanwhile, no rename at all", true, F::kTargetGone, F::kNoRenames, nullptr, false, false},
  };
  for (const auto& c : cases) {
    FakeFileSteps steps;
    if (c.oldThere) steps.files[ini] = "old";
    const std::u16string earlier = c.earlier ? u"C:\\Q\\" + std::u16string(c.earlier) : u"";
    if (c.earlier) steps.files[earlier] = "earlier";
    steps.answer = c.answer;
    steps.renames = c.renames;
    steps.holdBackup = c.holdBackup;
    EXPECT_EQ(ReplaceWholeFile(steps, ini, "new"), c.replaced) << c.what;
    std::map<std::u16string, std::string> want;
    if (c.replaced || (c.oldThere && c.answer != F::kTargetGone)) want[ini] = c.replaced ? "new" : "old";
    if (c.earlier && !c.replaced) want[earlier] = "earlier";
    if (c.holdBackup) want[c.earlier ? u"C:\\Q\\qbs2.bak" : u"C:\\Q\\qbs1.bak"] = "old";
    EXPECT_EQ(steps.files, want) << c.what;
  }
}

}  // namespace
}  // namespace qb
