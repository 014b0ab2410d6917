// The code page 932 helpers never split a character and never read past
// the end, whatever the bytes; and a character starts where the C
// library's own CP932 converter says it does.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "check.h"
#include "iconv_reference.h"
#include "platform/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const size_t limit = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  // Lead bytes by an independent converter.
  static const std::array<bool, 256> kLead = [] {
    const std::optional<std::array<bool, 256>> lead = qb::IconvCp932LeadBytes();
    QB_FUZZ_CHECK(lead.has_value());
    return *lead;
  }();
  const std::vector<size_t> starts = qb::Cp932CharStarts(text);
  for (size_t i = 0; i < starts.size(); ++i) {
    const size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
    const bool lead = kLead[static_cast<unsigned char>(text[starts[i]])];
    QB_FUZZ_CHECK(end - starts[i] == (lead && starts[i] + 1 < text.size() ? 2u : 1u));
    QB_FUZZ_CHECK(qb::Cp932CharAt(text, i) == text.substr(starts[i], end - starts[i]));
  }
  const auto atBoundary = [&](size_t at) {
    return at == text.size() || std::binary_search(starts.begin(), starts.end(), at);
  };

  const std::string cut = qb::Cp932Truncate(text, limit);
  QB_FUZZ_CHECK(cut.size() <= limit || text.size() <= limit);
  QB_FUZZ_CHECK(text.compare(0, cut.size(), cut) == 0 && atBoundary(cut.size()));

  const std::string last = qb::Cp932Last(text, limit % 8);
  QB_FUZZ_CHECK(atBoundary(text.size() - last.size()));
  QB_FUZZ_CHECK(text.compare(text.size() - last.size(), last.size(), last) == 0);

  const std::string tail = qb::Cp932Tail(text, limit % 8);
  QB_FUZZ_CHECK(atBoundary(text.size() - tail.size()));

  const std::string upper = qb::AsciiUpper(text);
  QB_FUZZ_CHECK(upper.size() == text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) QB_FUZZ_CHECK(upper[i] == text[i]);
  }

  return 0;
}
