#include "settings/ini_encoding.h"

#include <algorithm>
#include <optional>

namespace qb {

namespace {

// Beyond this many changed lines, the rest are all converted anew: an
// update changes three lines of a settings file, or adds at most five.
constexpr long kMostEdits = 64;

// The text split after each line end (CR LF, CR or LF), line ends kept.
template <typename Char>
std::vector<std::basic_string<Char>> SplitAfterLineEnds(std::basic_string_view<Char> text) {
  std::vector<std::basic_string<Char>> lines;
  size_t begin = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.emplace_back(text.substr(begin, i + 1 - begin));
    begin = i + 1;
  }
  if (begin < text.size()) lines.emplace_back(text.substr(begin));
  return lines;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Which of `to` are `from`'s own lines: for each line of `to`, the index
// of the line of `from` it stands for, or npos. The longest common run of
// lines in order, by the greedy shortest-edit search (Myers), whose cost
// grows with the file's length times the edits, not its square.
std::vector<size_t> MatchLines(const std::vector<std::string>& from, const std::vector<std::string>& to) {
  std::vector<size_t> match(to.size(), std::string::npos);
  const long n = static_cast<long>(from.size());
  const long m = static_cast<long>(to.size());
  const long most = std::min(n + m, kMostEdits);
  // reach[most + k]: the furthest line of `from` reached on diagonal k
  // (x - y) with the edits so far; one copy kept per edit count.
  std::vector<long> reach(static_cast<size_t>(2 * most + 3), 0);
  const auto at = [&](std::vector<long>& v, long k) -> long& { return v[static_cast<size_t>(k + most + 1)]; };
  std::vector<std::vector<long>> trace;
  for (long d = 0; d <= most; ++d) {
    trace.push_back(reach);
    for (long k = -d; k <= d; k += 2) {
      long x = k == -d || (k != d && at(reach, k - 1) < at(reach, k + 1)) ? at(reach, k + 1) : at(reach, k - 1) + 1;
      long y = x - k;
      while (x < n && y < m && from[static_cast<size_t>(x)] == to[static_cast<size_t>(y)]) ++x, ++y;
      at(reach, k) = x;
      if (x < n || y < m) continue;
      // Back from the end: each diagonal run is a run of matched lines,
      // each step off one an edit.
      for (long e = d; e >= 0; --e) {
        std::vector<long>& before = trace[static_cast<size_t>(e)];
        const long kk = x - y;
        const long pk = kk == -e || (kk != e && at(before, kk - 1) < at(before, kk + 1)) ? kk + 1 : kk - 1;
        const long px = at(before, pk);
        const long py = px - pk;
        while (x > px && y > py) {
          --x, --y;
          match[static_cast<size_t>(y)] = static_cast<size_t>(x);
        }
        x = px;
        y = py;
      }
      return match;
    }
  }
  return match;  // too many edits: every line of `to` is converted anew
}

}  // namespace

IniFileText::IniFileText(std::string_view bytes, Cp932Codec& codec) : codec_(codec) {
  utf16_ = bytes.substr(0, 2) == "\xFF\xFE";
  if (!utf16_) {
    text_ = std::string(bytes);
    return;
  }
  std::u16string units;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                   (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  for (const std::u16string& line : SplitAfterLineEnds<char16_t>(units)) {
    std::optional<std::string> view = codec_.FromUtf16(line);
    if (!view) {
      // Character by character, "?" for each that has no form of its own;
      // ASCII, line ends included, is itself.
      view.emplace();
      for (size_t i = 0; i < line.size();) {
        const size_t size = IsHighSurrogate(line[i]) && i + 1 < line.size() && IsLowSurrogate(line[i + 1]) ? 2 : 1;
        *view += line[i] < 0x80 ? std::string(1, static_cast<char>(line[i]))
                                : codec_.FromUtf16(std::u16string_view(line).substr(i, size)).value_or("?");
        i += size;
      }
    }
    fileLines_.push_back(Encode(line));
    viewLines_.push_back(*view);
    text_ += *view;
  }
  // An odd last byte is no character; it stays last, after whatever an
  // update adds, so that nothing else moves out of step.
  if (bytes.size() % 2 != 0) oddByte_ = bytes.substr(bytes.size() - 1);
}

std::string IniFileText::Encode(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t c : text) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

std::string IniFileText::FileBytes(std::string_view updated) const {
  if (!utf16_) return std::string(updated);
  const std::vector<std::string> lines = SplitAfterLineEnds<char>(updated);
  const std::vector<size_t> own = MatchLines(viewLines_, lines);
  std::string out = "\xFF\xFE";
  for (size_t i = 0; i < lines.size(); ++i) {
    out += own[i] != std::string::npos ? fileLines_[own[i]] : Encode(codec_.ToUtf16(lines[i]));
  }
  return out + oddByte_;
}

}  // namespace qb
