// The RIFF reader and the envelope on any file: the samples found lie in
// the file, whole frames of them, and the envelope is the same however the
// samples arrive in pieces.
#include <cstdint>
#include <string>

#include "check.h"
#include "fuzz_input.h"
#include "memory_bytes.h"
#include "music/loudness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  qb::fuzz::Input input(data, size);
  const size_t step = input.Byte() % 13 + 1;
  const std::string file = input.Rest();
  qb::test::MemoryBytes bytes(file);
  const auto layout = qb::ReadWaveLayout(bytes);
  if (!layout) return 0;
  QB_FUZZ_CHECK(layout->format.size() >= 16 && layout->format.size() <= 4096 && layout->Seconds() >= 0);
  QB_FUZZ_CHECK(layout->blockAlign > 0 && layout->dataSize > 0 && layout->dataSize % layout->blockAlign == 0);
  QB_FUZZ_CHECK(layout->dataOffset <= file.size() && layout->dataSize <= file.size() - layout->dataOffset);
  if (!layout->IsPlain()) return 0;

  const auto* samples = reinterpret_cast<const uint8_t*>(file.data() + layout->dataOffset);
  const auto n = static_cast<size_t>(layout->dataSize);
  const bool isFloat = layout->formatTag == qb::WaveLayout::kFloat;
  qb::EnvelopeBuilder whole(layout->channels, layout->sampleRate, layout->bitsPerSample, isFloat);
  qb::EnvelopeBuilder pieces(layout->channels, layout->sampleRate, layout->bitsPerSample, isFloat);
  QB_FUZZ_CHECK(whole.Valid());
  whole.Add(samples, n);
  for (size_t at = 0; at < n; at += step) pieces.Add(samples + at, std::min(step, n - at));
  const auto a = whole.Finish(layout->Seconds()), b = pieces.Finish(layout->Seconds());
  QB_FUZZ_CHECK(a.has_value() == b.has_value() && (!a || a->levels == b->levels));
  if (a) QB_FUZZ_CHECK(a->levels.size() <= n / layout->blockAlign * 100 / layout->sampleRate);
  return 0;
}
