#include "settings/ini_encoding.h"

#include <cstddef>
#include <optional>

namespace qb {

namespace {

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

// A stretch of the text after an update: one of the file's own lines, as
// it was, or text the update wrote.
struct Piece {
  std::string view;
  size_t line;  // index of the file's line; npos for written text
};

// Applies one edit to the pieces: an insertion between two pieces becomes
// a piece of its own; any other edit turns the pieces it touches into
// written text.
void ApplyEdit(std::vector<Piece>& pieces, const IniEdit& edit) {
  size_t first = 0;
  size_t start = 0;
  while (first < pieces.size() && edit.offset >= start + pieces[first].view.size()) {
    start += pieces[first++].view.size();
  }
  if (edit.removed == 0 && (first == pieces.size() || edit.offset == start)) {
    if (!edit.inserted.empty()) {
      pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(first), Piece{edit.inserted, std::string::npos});
    }
    return;
  }
  std::string merged;
  size_t last = first;
  while (last < pieces.size() && (last == first || start + merged.size() < edit.offset + edit.removed)) {
    merged += pieces[last++].view;
  }
  if (edit.offset + edit.removed > start + merged.size()) return;  // not an edit of this text
  merged.replace(edit.offset - start, edit.removed, edit.inserted);
  pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(first), pieces.begin() + static_cast<std::ptrdiff_t>(last));
  pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(first), Piece{merged, std::string::npos});
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

std::string IniFileText::FileBytes(std::string_view updated, const std::vector<IniEdit>& edits) const {
  if (!utf16_) return std::string(updated);
  // The edits say which lines the update wrote; every other line keeps its
  // own characters, however many lines read alike through the view.
  std::vector<Piece> pieces;
  for (size_t i = 0; i < viewLines_.size(); ++i) pieces.push_back({viewLines_[i], i});
  for (const IniEdit& edit : edits) ApplyEdit(pieces, edit);
  std::string check;
  for (const Piece& piece : pieces) check += piece.view;
  std::string out = "\xFF\xFE";
  if (check != updated) return out + Encode(codec_.ToUtf16(updated)) + oddByte_;  // edits of another text
  for (const Piece& piece : pieces) {
    out += piece.line != std::string::npos ? fileLines_[piece.line] : Encode(codec_.ToUtf16(piece.view));
  }
  return out + oddByte_;
}

}  // namespace qb
