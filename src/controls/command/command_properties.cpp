#include "controls/command/command_properties.h"

#include "platform/number_text.h"

namespace qb {

std::string PropertyBag::ReadText(const char* key, const std::string& defaultValue) {
  const auto found = texts_.find(key);
  return found == texts_.end() ? defaultValue : found->second;
}

void PropertyBag::WriteText(const char* key, const std::string& value,
                            const std::string& defaultValue) {
  if (value == defaultValue) {
    texts_.erase(key);
  } else {
    texts_[key] = value;
  }
}

CaptionFont PropertyBag::ReadFont(const char* key, const CaptionFont& defaultValue) {
  const auto found = fonts_.find(key);
  return found == fonts_.end() ? defaultValue : found->second;
}

void PropertyBag::WriteFont(const char* key, const CaptionFont& value,
                            const CaptionFont& defaultValue) {
  if (value == defaultValue) {
    fonts_.erase(key);
  } else {
    fonts_[key] = value;
  }
}

namespace {

// ASCII letters only: the bytes of a double-byte character never match.
bool SameWordIgnoringCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; word[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    char w = word[i];
    if (w >= 'A' && w <= 'Z') w = static_cast<char>(w - 'A' + 'a');
    if (c != w) return false;
  }
  return i == text.size();
}

}  // namespace

std::optional<bool> BooleanFromText(const std::string& text) {
  if (SameWordIgnoringCase(text, "True")) return true;
  if (SameWordIgnoringCase(text, "False")) return false;
  const std::optional<double> number = TextToNumber(text);
  if (!number) return std::nullopt;
  return *number != 0.0;
}

std::string BooleanText(bool value) { return value ? "True" : "False"; }

bool IsColourValue(int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  const uint32_t kind = bits >> 24;
  if (kind == 0) return true;
  // COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30).
  return kind == 0x80 && (bits & 0xFFFFFF) <= 30;
}

}  // namespace qb
