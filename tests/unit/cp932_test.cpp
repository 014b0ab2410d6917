#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "fakes.h"
#include "platform/texts.h"

namespace qb {
namespace {

// "表" is 95 5C in code page 932: its second byte has the value of '\'.
const std::string kHyo = "\x95\x5C";

TEST(Cp932, CharactersSpanLeadAndTrailByte) {
  const std::string text = "a" + kHyo + "b";
  EXPECT_EQ(Cp932CharStarts(text), (std::vector<size_t>{0, 1, 3}));
  EXPECT_EQ(Cp932CharAt(text, 1), kHyo);
  EXPECT_EQ(Cp932CharAt(text, 2), "b");
  EXPECT_EQ(Cp932CharAt(text, 3), "");
  EXPECT_EQ(Cp932Tail(text, 2), "b");
  EXPECT_EQ(Cp932Last(text, 2), kHyo + "b");
  EXPECT_EQ(Cp932Last(text, 9), text);
  EXPECT_EQ(Cp932Last(text, 0), "");  // once read one element past the starts
  EXPECT_EQ(Cp932Last("", 0), "");
  // A lone lead byte at the end is one character of its own.
  EXPECT_EQ(Cp932CharStarts("a\x95"), (std::vector<size_t>{0, 1}));
}

TEST(Cp932, TruncateNeverSplitsACharacter) {
  const std::string text = "ab" + kHyo + "c";
  EXPECT_EQ(Cp932Truncate(text, 10), text);
  EXPECT_EQ(Cp932Truncate(text, 4), "ab" + kHyo);
  EXPECT_EQ(Cp932Truncate(text, 3), "ab");
  EXPECT_EQ(Cp932Truncate(text, 0), "");
}

TEST(Cp932, UpperCasesAsciiLettersOnly) {
  // 83 61 is "ャ": its trail byte 'a' must stay as it is.
  EXPECT_EQ(AsciiUpper("wav\x83\x61x"), "WAV\x83\x61X");
  EXPECT_EQ(AsciiUpper("\xB1z"), "\xB1Z");  // half-width kana is single-byte
}

// Against the C library's own CP932 converter: a lead byte alone is an
// incomplete character there. (Narrowing 81..9F to end at 9E once passed
// every other test.)
TEST(Cp932, LeadBytesAreTheConvertersOwn) {
  const std::optional<std::array<bool, 256>> lead = IconvCp932LeadBytes();
  ASSERT_TRUE(lead.has_value());
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(Cp932IsLeadByte(static_cast<unsigned char>(b)), (*lead)[b]) << std::hex << b;
  }
}

// Every text the program shows, as the wide entry points receive it.
TEST(Cp932, TheProgramsTextsAreTheseCharacters) {
  const struct {
    const char* cp932;
    std::u16string text;
  } texts[] = {
      {texts::kCompanionMissing, u"Quillbright.dll \u304C\u540C\u3058\uFF8C\uFF6B\uFF99\uFF80\uFF9E\u306B\u898B\u3064\u304B\u308A\u307E\u305B\u3093\uFF01"},
      {texts::kSettingsNotSaved, u"\u8A2D\u5B9A\u3092\u4FDD\u5B58\u3067\u304D\u307E\u305B\u3093\u3067\u3057\u305F\u3002"},
      {texts::kFileNameNotKept, u"\u3053\u306E\uFF8C\uFF67\uFF72\uFF99\u540D\u306F\u4FDD\u5B58\u3067\u304D\u307E\u305B\u3093\u3002"},
      {texts::kMciNoCommand, u"\u30B3\u30DE\u30F3\u30C9\u6587\u5B57\u5217\u304C\u6307\u5B9A\u3055\u308C\u3066\u3044\u307E\u305B\u3093"},
      {texts::kMciNoErrorText, u"Error (\u6587\u5B57\u5217\u304C\u53D6\u308C\u307E\u305B\u3093)"},
      {texts::kKeyMusicKind, u"BGM\u533A\u5206"},
      {texts::kKeyRepeatTrack, u"BGM\uFF98\uFF8B\uFF9F\uFF70\uFF84"},
      {texts::kKeyMusicFile, u"BGM\uFF8C\uFF67\uFF72\uFF99"},
      {texts::kDesignFontFace, u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"},
      {texts::kCaptionSave, u"\u8A2D\u5B9A"},
      {texts::kCaptionCancel, u"\uFF77\uFF6C\uFF9D\uFF7E\uFF99"},
      {texts::kLabelNoMusic, u"\u306A\u3057"},
      {texts::kLabelAudioCd, u"\u97F3\u697DCD"},
      {texts::kLabelMusicFile, u"MP3\u3001WAV"},
      {texts::kLabelRepeat, u"\u66F2\u76EE\u3092\uFF98\uFF8B\uFF9F\uFF70\uFF84"},
      {texts::kFileChooserTitle, u"\uFF8C\uFF67\uFF72\uFF99\u3092\u958B\u304F"},
  };
  test::IconvCodec codec;
  for (const auto& t : texts) EXPECT_EQ(codec.ToUtf16(t.cp932), t.text) << test::Utf8(t.text);
  const std::string filter(texts::kMusicFileFilter, sizeof(texts::kMusicFileFilter));
  EXPECT_EQ(codec.ToUtf16(filter), std::u16string(u"BGM\uFF8C\uFF67\uFF72\uFF99 (MP3 WAV)\0*.MP3;*.WAV\0\0", 31));
}

}  // namespace
}  // namespace qb
