#include "settings/ini_text.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "platform/cp932.h"

namespace qb {

namespace {

// What the profile functions cut a value to: a 256-character buffer, then
// 255 bytes of it in code page 932.
constexpr size_t kValueChars = 255;

// "・", which the system's conversion gives for a byte pair that is no
// character.
constexpr char kNoCharacter[] = "\x81\x45";

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// Tab, line feed, vertical tab, form feed, carriage return, ^Z and blank.
bool IsIniBlank(char c) { return (Byte(c) >= 0x09 && Byte(c) <= 0x0D) || Byte(c) == 0x1A || c == ' '; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

bool IsTrailByte(char c) { return (Byte(c) >= 0x40 && Byte(c) <= 0x7E) || (Byte(c) >= 0x80 && Byte(c) <= 0xFC); }

// Bytes of the character at `i`: a lead byte takes the byte after it along,
// whatever it is, unless the text ends there or a NUL follows.
size_t CharSize(std::string_view s, size_t i) {
  return Cp932IsLeadByte(Byte(s[i])) && i + 1 < s.size() && s[i + 1] != '\0' ? 2 : 1;
}

struct Span {
  size_t begin = 0;
  size_t end = 0;
  std::string_view Of(std::string_view s) const { return s.substr(begin, end - begin); }
};

// The characters of `s` within `span`, without the blank characters at
// either end.
Span Trimmed(std::string_view s, Span span) {
  size_t i = span.begin;
  while (i < span.end && IsIniBlank(s[i])) ++i;
  Span out{i, i};
  while (i < span.end) {
    const size_t size = CharSize(s, i);
    if (size == 2 || !IsIniBlank(s[i])) out.end = i + size;
    i += size;
  }
  return out;
}

// The first character `c` within `span` (by characters), or span.end.
size_t FindChar(std::string_view s, Span span, char c) {
  for (size_t i = span.begin; i < span.end; i += CharSize(s, i)) {
    if (s[i] == c && CharSize(s, i) == 1) return i;
  }
  return span.end;
}

size_t FindLastChar(std::string_view s, Span span, char c) {
  size_t found = span.end;
  for (size_t i = span.begin; i < span.end; i += CharSize(s, i)) {
    if (s[i] == c && CharSize(s, i) == 1) found = i;
  }
  return found;
}

enum class LineKind { Blank, Section, Key };

struct IniLine {
  size_t begin = 0;       // the line's first byte
  size_t breakBegin = 0;  // where its line end starts (the text's end)
  size_t next = 0;        // the next line's first byte
  LineKind kind = LineKind::Blank;
  Span name;
  bool hasValue = false;
  Span value;
};

std::vector<IniLine> SplitLines(std::string_view s) {
  std::vector<IniLine> lines;
  size_t i = 0;
  while (i < s.size()) {
    IniLine line;
    line.begin = i;
    while (i < s.size() && !IsLineEnd(s[i])) i += CharSize(s, i);
    line.breakBegin = i;
    while (i < s.size() && IsLineEnd(s[i])) ++i;
    line.next = i;

    const Span text = Trimmed(s, {line.begin, line.breakBegin});
    if (text.begin < text.end && s[text.begin] == '[') {
      const size_t close = FindLastChar(s, text, ']');
      if (close != text.end) {
        line.kind = LineKind::Section;
        line.name = Trimmed(s, {text.begin + 1, close});
        lines.push_back(line);
        continue;
      }
    }
    if (text.begin == text.end) {
      lines.push_back(line);
      continue;
    }
    line.kind = LineKind::Key;
    const size_t equals = FindChar(s, text, '=');
    if (equals == text.end) {
      line.name = text;
    } else {
      line.name = Trimmed(s, {text.begin, equals});
      line.hasValue = true;
      line.value = Trimmed(s, {equals + 1, text.end});
    }
    lines.push_back(line);
  }
  return lines;
}

// Text as the system converts it and back: a byte pair that is no
// character becomes "・", and the text ends at its first NUL.
std::string Converted(std::string_view raw) {
  std::string out;
  for (size_t i = 0; i < raw.size() && raw[i] != '\0';) {
    const size_t size = CharSize(raw, i);
    if (Cp932IsLeadByte(Byte(raw[i])) && (size == 1 || !IsTrailByte(raw[i + 1]))) {
      out += kNoCharacter;
    } else {
      out.append(raw, i, size);
    }
    i += size;
  }
  return out;
}

bool SameName(std::string_view stored, std::string_view wanted) {
  return AsciiUpper(Converted(stored)) == AsciiUpper(wanted);
}

// Lines [first, last) of the first section named `section`; `header` is
// the index of its header line, or npos for the lines before any header,
// which form a section without a name.
struct SectionLines {
  bool found = false;
  size_t header = std::string_view::npos;
  size_t first = 0;
  size_t last = 0;
};

SectionLines FindSection(std::string_view s, const std::vector<IniLine>& lines,
                         std::string_view section) {
  SectionLines out;
  out.found = section.empty();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != LineKind::Section) continue;
    if (out.found) {
      out.last = i;
      return out;
    }
    if (SameName(lines[i].name.Of(s), section)) {
      out = {true, i, i + 1, lines.size()};
    }
  }
  if (out.found && out.header == std::string_view::npos) out.last = lines.size();
  return out;
}

// The first line in the section that holds `key`, or npos.
size_t FindKey(std::string_view s, const std::vector<IniLine>& lines, const SectionLines& section,
               std::string_view key) {
  for (size_t i = section.first; i < section.last; ++i) {
    if (lines[i].kind == LineKind::Key && SameName(lines[i].name.Of(s), key)) return i;
  }
  return std::string_view::npos;
}

// The value as it comes back in a 256-byte buffer: matching quotes taken
// off (the closing one only when it is within the buffer), at most 255
// characters and 255 bytes.
std::string BufferedValue(std::string_view raw) {
  const std::string text = Converted(raw);
  const std::vector<size_t> starts = Cp932CharStarts(text);
  const auto endOf = [&](size_t index) { return index + 1 < starts.size() ? starts[index + 1] : text.size(); };
  size_t from = 0;
  size_t count = starts.size();
  bool quoted = false;
  if (count >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0] &&
      starts.back() == text.size() - 1) {
    quoted = true;
    from = 1;
    count -= 1;
  }
  size_t copied = std::min(count, kValueChars);
  if (quoted && count <= kValueChars + 1) copied -= 1;
  if (copied == 0) return {};
  const size_t begin = starts[from];
  return Cp932Truncate(std::string_view(text).substr(begin, endOf(from + copied - 1) - begin), kIniValueBytes);
}

size_t FirstLineEndSize(std::string_view s, size_t at) {
  if (at >= s.size()) return 0;
  return s.compare(at, 2, "\r\n") == 0 ? 2 : 1;
}

// What must follow `s` before a line can be added after it: nothing when
// it is empty or ends in a line end; else a line end, with one more CR in
// front when it ends in a lead byte, which would take the first one along.
std::string_view LineEndToAppend(std::string_view s) {
  if (s.empty()) return {};
  size_t last = 0;
  for (size_t i = 0; i < s.size(); i += CharSize(s, i)) last = i;
  if (CharSize(s, last) == 1 && IsLineEnd(s[last])) return {};
  if (CharSize(s, last) == 1 && Cp932IsLeadByte(Byte(s[last]))) return "\r\r\n";
  return "\r\n";
}

// A text that records each change made to it.
class EditedText {
 public:
  EditedText(std::string_view text, std::vector<IniEdit>* edits) : text_(text), edits_(edits) {}
  const std::string& Text() const { return text_; }
  void Replace(size_t offset, size_t removed, std::string inserted) {
    text_.replace(offset, removed, inserted);
    if (edits_) edits_->push_back({offset, removed, std::move(inserted)});
  }

 private:
  std::string text_;
  std::vector<IniEdit>* edits_;
};

void SetOne(EditedText& edited, std::string_view section, const IniSetting& setting) {
  const std::string& text = edited.Text();
  const std::vector<IniLine> lines = SplitLines(text);
  const SectionLines found = FindSection(text, lines, section);
  const std::string keyLine = std::string(setting.key) + "=" + std::string(setting.value) + "\r\n";
  if (!found.found) {
    edited.Replace(text.size(), 0, std::string(LineEndToAppend(text)) + "[" + std::string(section) + "]\r\n" + keyLine);
    return;
  }
  const size_t key = FindKey(text, lines, found, setting.key);
  if (key != std::string_view::npos) {
    if (setting.keepStored) return;
    const IniLine& line = lines[key];
    edited.Replace(line.begin, line.breakBegin - line.begin,
                   Converted(line.name.Of(text)) + "=" + std::string(setting.value));
    return;
  }
  // After the section's last line that is not blank (its header when it
  // has none), keeping that line's own line end.
  size_t anchor = found.header;
  for (size_t i = found.first; i < found.last; ++i) {
    if (lines[i].kind != LineKind::Blank) anchor = i;
  }
  if (anchor == std::string_view::npos) {
    edited.Replace(0, 0, keyLine);
    return;
  }
  const size_t breakBegin = lines[anchor].breakBegin;
  const size_t lineEnd = FirstLineEndSize(text, breakBegin);
  const std::string_view before = lineEnd == 0 ? LineEndToAppend(text) : std::string_view();
  edited.Replace(breakBegin + lineEnd, 0, std::string(before) + keyLine);
}

}  // namespace

std::string IniReadValue(std::string_view content, std::string_view section, std::string_view key) {
  const std::vector<IniLine> lines = SplitLines(content);
  const SectionLines found = FindSection(content, lines, section);
  if (!found.found) return {};
  const size_t line = FindKey(content, lines, found, key);
  if (line == std::string_view::npos || !lines[line].hasValue) return {};
  return BufferedValue(lines[line].value.Of(content));
}

std::string IniWithValues(std::string_view content, std::string_view section,
                          const std::vector<IniSetting>& settings, std::vector<IniEdit>* edits) {
  EditedText edited(content, edits);
  for (const IniSetting& setting : settings) SetOne(edited, section, setting);
  return edited.Text();
}

}  // namespace qb
