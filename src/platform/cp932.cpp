#include "platform/cp932.h"

namespace qb {

std::vector<size_t> Cp932CharStarts(std::string_view text) {
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    const bool pair = Cp932IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    i += pair ? 2 : 1;
  }
  return starts;
}

std::string Cp932CharAt(std::string_view text, size_t index) {
  const auto starts = Cp932CharStarts(text);
  if (index >= starts.size()) return {};
  const size_t end = index + 1 < starts.size() ? starts[index + 1] : text.size();
  return std::string(text.substr(starts[index], end - starts[index]));
}

std::string Cp932Tail(std::string_view text, size_t index) {
  const auto starts = Cp932CharStarts(text);
  if (index >= starts.size()) return {};
  return std::string(text.substr(starts[index]));
}

std::string Cp932Last(std::string_view text, size_t count) {
  if (count == 0) return {};
  const auto starts = Cp932CharStarts(text);
  if (count >= starts.size()) return std::string(text);
  return std::string(text.substr(starts[starts.size() - count]));
}

std::string Cp932Truncate(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  size_t keep = 0;
  for (size_t start : Cp932CharStarts(text)) {
    if (start > maxBytes) break;
    keep = start;  // every character before this one ends at or before `start`
  }
  return std::string(text.substr(0, keep));
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  bool trail = false;
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (trail) {
      trail = false;
      continue;
    }
    if (Cp932IsLeadByte(u)) {
      trail = true;
    } else if (u >= 'a' && u <= 'z') {
      c = static_cast<char>(u - 'a' + 'A');
    }
  }
  return out;
}

}  // namespace qb
