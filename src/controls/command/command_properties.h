// What the skinned button keeps with its host: the caption font, and the
// host's store of named values for each control.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/texts.h"

namespace qb {

// A font object as the caption label holds it; by default the design font,
// 9.75-point "ＭＳ Ｐゴシック", Shift-JIS, regular.
struct CaptionFont {
  std::string faceName = texts::kDesignFontFace;
  int32_t sizeCentipoints = 975;
  int16_t weight = 400;
  uint8_t charset = 128;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;

  bool operator==(const CaptionFont& o) const {
    return faceName == o.faceName && sizeCentipoints == o.sizeCentipoints &&
           weight == o.weight && charset == o.charset && italic == o.italic &&
           underline == o.underline && strikethrough == o.strikethrough;
  }
  bool operator!=(const CaptionFont& o) const { return !(*this == o); }
};

// The host's side of persistence. Values are written together with a
// default; reading a key that holds nothing gives the reading default.
class PropertyStore {
 public:
  virtual ~PropertyStore() = default;
  virtual std::string ReadText(const char* key, const std::string& defaultValue) = 0;
  virtual void WriteText(const char* key, const std::string& value,
                         const std::string& defaultValue) = 0;
  virtual CaptionFont ReadFont(const char* key, const CaptionFont& defaultValue) = 0;
  virtual void WriteFont(const char* key, const CaptionFont& value,
                         const CaptionFont& defaultValue) = 0;
  // The font the host gives its controls unless told otherwise.
  virtual CaptionFont AmbientFont() = 0;
  // Tells the host that a property changed; only the key travels.
  virtual void PropertyChanged(const char* key) = 0;
};

// A store in memory: a value equal to its default is not kept.
class PropertyBag : public PropertyStore {
 public:
  std::string ReadText(const char* key, const std::string& defaultValue) override;
  void WriteText(const char* key, const std::string& value,
                 const std::string& defaultValue) override;
  CaptionFont ReadFont(const char* key, const CaptionFont& defaultValue) override;
  void WriteFont(const char* key, const CaptionFont& value,
                 const CaptionFont& defaultValue) override;
  CaptionFont AmbientFont() override { return ambientFont; }
  void PropertyChanged(const char* /*key*/) override {}

  bool Holds(const char* key) const { return texts_.count(key) + fonts_.count(key) > 0; }

  CaptionFont ambientFont;

 private:
  std::map<std::string, std::string> texts_;
  std::map<std::string, CaptionFont> fonts_;
};

// Conversions of stored texts to the properties' types; nothing when the
// text does not convert (the property then keeps its value). Numbers go
// through IntegerFromText (platform/number_text.h).
std::optional<bool> BooleanFromText(const std::string& text);
std::string BooleanText(bool value);

// True for what a caption colour accepts: a red-green-blue value, or a
// system colour (0x80000000 and a colour index).
bool IsColourValue(int32_t value);

}  // namespace qb
