// The music's loudness as the presentation reads it: RIFF files, PCM to an
// envelope, MP3 frames, where playback stands, and the saver's block.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

#include "music/loudness.h"
#include "music/mp3_frames.h"
#include "memory_bytes.h"
#include "platform/music_block.h"

namespace qb {
namespace {

using test::MemoryBytes;

std::string Le(uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
  return out;
}
std::string Chunk(const std::string& id, const std::string& body) {
  return id + Le(static_cast<uint32_t>(body.size()), 4) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}
std::string Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t align = 0) {
  if (!align) align = static_cast<uint16_t>(channels * bits / 8);
  return Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) + Le(bits, 2);
}
std::string Riff(const std::string& chunks) { return "RIFF" + Le(static_cast<uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks; }

// `seconds` of interleaved samples: silence until `on`, a tone of amplitude
// 0.5 until `off`, then the tone 20 dB quieter.
std::string Pcm(uint32_t channels, uint32_t rate, uint32_t bits, bool isFloat, double seconds, double on, double off,
                double scale = 1) {
  std::string out;
  const auto frames = static_cast<uint32_t>(seconds * rate);
  for (uint32_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double v = scale * (t < on ? 0.0 : t < off ? 0.5 : 0.05) * std::sin(2 * M_PI * 441 * t);
    const float f = static_cast<float>(v);
    uint32_t u = static_cast<uint32_t>(std::lround(v * std::ldexp(1.0, static_cast<int>(bits) - 1)));
    if (isFloat) std::memcpy(&u, &f, 4);
    for (uint32_t c = 0; c < channels; ++c) {
      out += bits == 8 ? std::string(1, static_cast<char>(128 + std::lround(v * 127))) : Le(u, static_cast<int>(bits / 8));
    }
  }
  return out;
}

TEST(Envelope, LoudnessAndItsChangesLandOnTheirHundredthOfASecondInEveryFormat) {
  // The wider formats 30 dB down, where their low bytes count.
  struct Case { uint32_t channels, rate, bits; bool isFloat; double scale; };
  for (const Case& c : {Case{1, 8000, 8, false, 1}, Case{2, 22050, 16, false, 1}, Case{1, 44100, 24, false, 0.03},
                        Case{2, 48000, 32, false, 0.03}, Case{1, 11025, 32, true, 0.03}}) {
    const std::string pcm = Pcm(c.channels, c.rate, c.bits, c.isFloat, 2.0, 0.5, 1.25, c.scale);
    EnvelopeBuilder builder(c.channels, c.rate, c.bits, c.isFloat);
    ASSERT_TRUE(builder.Valid());
    for (size_t at = 0; at < pcm.size(); at += 7) {  // in pieces that split frames
      ASSERT_TRUE(builder.Add(reinterpret_cast<const uint8_t*>(pcm.data()) + at, std::min<size_t>(7, pcm.size() - at)));
    }
    const std::optional<Envelope> e = builder.Finish(2.0);
    ASSERT_EQ(e.value_or(Envelope{}).levels.size(), 200u) << c.rate;
    // 20 dB down is 20/36 of the way to silence: 113.
    for (size_t i = 0; i < 200; ++i) {
      const int expected = i < 50 ? 0 : i < 125 ? 253 : 113;
      EXPECT_NEAR(e->levels[i], expected, i < 50 ? 0 : 6) << c.rate << " at " << i;
    }
  }
}

TEST(Envelope, ReducesAtMostHalfAnHourAndRefusesFormatsItCannotRead) {
  EnvelopeBuilder builder(1, 1000, 8, false);
  const std::string second(1000, '\x80');
  int added = 0;
  while (builder.Add(reinterpret_cast<const uint8_t*>(second.data()), second.size())) ASSERT_LT(++added, 1900);
  EXPECT_EQ(added, 30 * 60 - 1);
  EXPECT_EQ(builder.Finish(3600)->levels.size(), 180000u);

  for (EnvelopeBuilder bad : {EnvelopeBuilder(0, 44100, 16, false), EnvelopeBuilder(9, 44100, 16, false),
                              EnvelopeBuilder(1, 999, 16, false), EnvelopeBuilder(1, 384001, 16, false),
                              EnvelopeBuilder(1, 44100, 12, false), EnvelopeBuilder(1, 44100, 16, true)}) {
    EXPECT_FALSE(bad.Valid() || bad.Add(reinterpret_cast<const uint8_t*>(second.data()), second.size()) || bad.Finish(1));
  }
  EXPECT_FALSE(EnvelopeBuilder(1, 1000, 8, false).Finish(1.0));  // not one whole hundredth
}

TEST(Envelope, LevelsAtTheEdgesOfTheMusic) {
  const Envelope e{{0, 255, 51}, 10};  // longer than what was reduced
  const std::pair<double, std::optional<float>> cases[] = {
      {-0.001, {}}, {0.0, 0.0f}, {0.0099, 0.0f}, {0.01, 1.0f}, {0.025, 0.2f}, {0.03, {}},
      {9.99, {}}, {10.0, 0.0f}, {1e300, 0.0f}, {NAN, {}}};
  for (const auto& [at, level] : cases) EXPECT_EQ(e.LevelAt(at), level) << at;
}

TEST(RiffReader, FindsTheSamplesOfGoodFiles) {
  const std::string pcm = Format(1, 2, 44100, 16);
  // A WAVE_FORMAT_EXTENSIBLE chunk whose sub-format is PCM.
  const std::string extensible = Format(0xFFFE, 2, 44100, 16) + Le(22, 2) + Le(16, 2) + Le(3, 4) + Le(1, 2) +
                                 std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  struct Case { std::string file; uint16_t tag; uint64_t offset, size; bool plain; double seconds; };
  const Case cases[] = {
      {Riff(Chunk("fmt ", pcm) + Chunk("data", std::string(44100 * 4, '\0'))), 1, 44, 44100 * 4, true, 1.0},
      // An odd chunk is padded; a stray byte beyond whole frames is not music.
      {Riff(Chunk("fmt ", pcm) + Chunk("LIST", "abc") + Chunk("data", std::string(4003, '\0'))), 1, 56, 4000, true,
       1000.0 / 44100},
      {Riff(Chunk("fmt ", extensible) + Chunk("data", std::string(400, '\0'))), 1, 68, 400, true, 100.0 / 44100},
      // IMA ADPCM: the length is the 'fact' chunk's.
      {Riff(Chunk("fmt ", Format(0x11, 1, 22050, 4, 512) + Le(2, 2) + Le(1017, 2)) + Chunk("fact", Le(22050, 4)) +
            Chunk("data", std::string(1024, '\0'))),
       0x11, 60, 1024, false, 1.0},
  };
  for (const Case& c : cases) {
    MemoryBytes file(c.file);
    const std::optional<WaveLayout> l = ReadWaveLayout(file);
    ASSERT_TRUE(l) << c.offset;
    EXPECT_EQ(std::tuple(l->formatTag, l->dataOffset, l->dataSize, l->IsPlain()), std::tuple(c.tag, c.offset, c.size, c.plain));
    EXPECT_DOUBLE_EQ(l->Seconds(), c.seconds);
  }
}

TEST(RiffReader, RefusesFilesThatAreNotWholeOrLie) {
  const std::string fmt = Chunk("fmt ", Format(1, 2, 44100, 16));
  const std::string data = Chunk("data", std::string(400, '\0'));
  const std::string good = Riff(fmt + data);
  const std::string bad[] = {
      "", good.substr(0, 11), "RIFX" + good.substr(4), good.substr(0, 8) + "AVI " + good.substr(12),
      good.substr(0, good.size() - 1),                               // truncated samples
      Riff(data + fmt),                                              // samples before their format
      Riff(fmt + fmt + data),                                        // two formats
      Riff(Chunk("fmt ", Format(1, 2, 44100, 16).substr(0, 14)) + data),  // a short format
      Riff(Chunk("fmt ", Format(1, 2, 44100, 16) + std::string(5000, '\0')) + data),  // a huge one
      Riff(Chunk("fmt ", Format(1, 0, 44100, 16)) + data), Riff(Chunk("fmt ", Format(1, 9, 44100, 16)) + data),
      Riff(Chunk("fmt ", Format(1, 2, 999, 16)) + data),
      Riff(Chunk("fmt ", Format(1, 2, 44100, 16, 3)) + data),        // frames of the wrong size
      Riff(Chunk("fmt ", Format(0x11, 1, 22050, 4, 0)) + data),      // no block size
      Riff(Chunk("fmt ", Format(0xFFFE, 2, 44100, 16)) + data),      // extensible without its sub-format
      Riff(fmt + Chunk("data", "")),
      Riff(fmt + "data" + Le(0xFFFFFFF0, 4) + std::string(400, '\0')),  // a length past the end
      Riff(fmt),                                                     // no samples
      Riff(fmt + std::string(2000 * 8, '\0') + data),                // chunk after chunk of nothing
  };
  for (const std::string& file : bad) {
    MemoryBytes bytes(file);
    EXPECT_FALSE(ReadWaveLayout(bytes)) << file.size();
  }
}

TEST(Playback, StandsWhereTheLoopOrThePlayersLastReportSays) {
  const MusicBlock wav{BlockMusicKind::Wav, true, 10000, false, 0, 0, u""};
  const MusicBlock mp3{BlockMusicKind::Mp3, true, 10000, false, 0, 0, u""};
  const MusicBlock reported{BlockMusicKind::Mp3, true, 10000, true, 20000, 2500, u""};
  const MusicBlock stopped{BlockMusicKind::Mp3, false, 10000, true, 20000, 2500, u""};
  struct Case { const MusicBlock* block; uint64_t now; double seconds; std::optional<double> at; };
  const Case cases[] = {
      {&wav, 10000, 4.0, 0.0},  {&wav, 13500, 4.0, 3.5},     {&wav, 14000, 4.0, 0.0},   {&wav, 25250, 4.0, 3.25},
      {&wav, 9000, 4.0, 0.0},   {&wav, 12000, 0.0, {}},      {&mp3, 14500, 4.0, 4.5},   {&reported, 20000, 4.0, 2.5},
      {&reported, 21000, 4.0, 3.5}, {&reported, 19990, 4.0, 2.5}, {&stopped, 21000, 4.0, {}},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(PlaybackSeconds(*c.block, c.now, c.seconds).value_or(-1), c.at.value_or(-1), 1e-9) << c.now;
  }
}

// MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz: 417 bytes each.
std::string Mp3(int frames, char second = '\xFB', char third = '\x90', size_t length = 417) {
  std::string out;
  for (int i = 0; i < frames; ++i) out += std::string{'\xFF', second, third} + std::string(length - 3, '\x11');
  return out;
}

TEST(Mp3Frames, WalksWholeFramesFromTheFirstPairToTheBoundOrTheEnd) {
  const std::string id3 = std::string("ID3\x03\x00\x00\x00\x00\x00\x64", 10) + std::string(100, '\0');
  struct Case { std::string file; uint64_t maxSamples; std::optional<size_t> first; size_t end; uint64_t frames; uint32_t rate; };
  const Case cases[] = {
      {Mp3(10), 1 << 30, 0, 4170, 10, 44100},
      {Mp3(3, '\xFB', '\x92', 418), 1 << 30, 0, 3 * 418, 3, 44100},  // padded: a byte longer
      {id3 + Mp3(3), 1 << 30, 110, 110 + 1251, 3, 44100},
      {std::string(37, '\0') + Mp3(3), 1 << 30, 37, 37 + 1251, 3, 44100},
      {Mp3(10), 5000, 0, 5 * 417, 5, 44100},                                   // the bound
      {Mp3(10).substr(0, 4100), 1 << 30, 0, 9 * 417, 9, 44100},               // a cut last frame
      {Mp3(3) + "TAG" + std::string(125, 'x'), 1 << 30, 0, 1251, 3, 44100},    // an ID3v1 tag at the end
      {Mp3(2) + std::string(1000, '\0') + Mp3(2), 1 << 30, 0, 1834 + 834, 4, 44100},  // a damaged stretch
      {Mp3(2) + std::string(5000, '\0') + Mp3(2), 1 << 30, 0, 834, 2, 44100},  // too long a one
      {Mp3(4, '\xF3', '\x80', 208), 1 << 30, 0, 832, 4, 22050},  // MPEG-2 layer III: 576 samples a frame
      {Mp3(1), 1 << 30, {}, 0, 0, 0},                                          // one frame is no pair
      {Mp3(5, '\xFB', '\x00'), 1 << 30, {}, 0, 0, 0},                          // free format
      {Mp3(5, '\xFB', '\x9C'), 1 << 30, {}, 0, 0, 0},                          // no sample rate
      {std::string(70000, '\0') + Mp3(3), 1 << 30, {}, 0, 0, 0},               // too far in
      {std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + Mp3(3), 1 << 30, {}, 0, 0, 0},  // a tag past the end
  };
  for (const Case& c : cases) {
    const auto walk = WalkMp3Frames(reinterpret_cast<const uint8_t*>(c.file.data()), c.file.size(), c.maxSamples);
    ASSERT_EQ(walk.has_value(), c.first.has_value()) << c.file.size();
    if (!walk) continue;
    EXPECT_EQ(std::tuple(walk->first, walk->end, walk->frames, walk->sampleRate), std::tuple(*c.first, c.end, c.frames, c.rate))
        << c.file.size();
    EXPECT_DOUBLE_EQ(walk->Seconds(), static_cast<double>(walk->samples) / c.rate);
  }
}

TEST(MusicBlock, ReadsBackWhatTheSaverWroteAndNothingElse) {
  MusicBlock block{BlockMusicKind::Mp3, true, 0x123456789AULL, true, 0x223456789AULL, 4321, u"C:\\M\u00FCsik\\\u97F3.mp3"};
  auto fields = [](const MusicBlock& b) {
    return std::tuple(b.kind, b.playing, b.startMs, b.hasPosition, b.positionAtMs, b.positionMs, b.path);
  };
  std::vector<uint8_t> bytes(kMusicBlockSize, 0xEE);
  ASSERT_TRUE(EncodeMusicBlock(block, bytes.data()));
  std::memset(&bytes[kMusicBlockSequenceOffset], 0, 4);
  const std::optional<MusicBlock> read = DecodeMusicBlock(bytes.data(), bytes.size());
  ASSERT_TRUE(read);
  EXPECT_EQ(fields(*read), fields(block));

  // One change each, at a byte offset: magic, version, size, a write under way, kind, an unknown flag, a path
  // longer than its room, no NUL after it, a NUL inside it, a quote in it.
  const std::pair<size_t, uint8_t> bad[] = {{0, 'X'}, {4, 2},  {8, 0x31},   {12, 1},     {16, 3},
                                            {20, 4},  {46, 1}, {44, 20},    {48 + 6, 0}, {48 + 2, '"'}};
  for (const auto& [offset, value] : bad) {
    std::vector<uint8_t> copy = bytes;
    copy[offset] = value;
    copy[offset + 1] = 0;
    EXPECT_FALSE(DecodeMusicBlock(copy.data(), copy.size())) << offset;
  }
  EXPECT_FALSE(DecodeMusicBlock(bytes.data(), kMusicBlockSize - 1));
  block.path.assign(kMusicBlockMaxPath + 1, u'a');
  EXPECT_FALSE(EncodeMusicBlock(block, bytes.data()));
}

TEST(MusicBlock, TheHandlesNameIsPlainDecimal) {
  const std::pair<const char*, std::optional<uint32_t>> cases[] = {
      {"1234", 1234u}, {"4294967295", 0xFFFFFFFFu}, {"4294967296", {}}, {"0", {}},  {"", {}},
      {"+12", {}},     {"12 ", {}},                 {"0x1C", {}},       {"99999999999", {}}};
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseBlockHandle(text), value) << text;
}

}  // namespace
}  // namespace qb
