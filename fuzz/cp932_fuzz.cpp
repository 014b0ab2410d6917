// The code page 932 helpers never split a character and never read past
// the end, whatever the bytes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "check.h"
#include "platform/cp932.h"
#include "platform/program_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const size_t limit = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::vector<size_t> starts = qb::Cp932CharStarts(text);
  for (size_t i = 0; i < starts.size(); ++i) {
    const size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
    QB_FUZZ_CHECK(end > starts[i] && end - starts[i] <= 2);
    if (end - starts[i] == 2) QB_FUZZ_CHECK(qb::Cp932IsLeadByte(static_cast<unsigned char>(text[starts[i]])));
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

  // The folder is the text up to a separator that starts a character.
  const std::string folder = qb::FolderOfPath(text);
  QB_FUZZ_CHECK(text.compare(0, folder.size(), folder) == 0);
  if (!folder.empty() || text.find_first_of(":\\") != std::string::npos) {
    const size_t cutAt = folder.size() < text.size() && text[folder.size()] == '\\' ? folder.size()
                                                                                    : folder.size() - 1;
    if (cutAt < text.size()) {
      QB_FUZZ_CHECK(text[cutAt] == '\\' || text[cutAt] == ':');
      QB_FUZZ_CHECK(std::binary_search(starts.begin(), starts.end(), cutAt));
      for (size_t start : starts) {
        if (start > cutAt) QB_FUZZ_CHECK(text[start] != '\\' && text[start] != ':');
      }
    }
  }
  return 0;
}
