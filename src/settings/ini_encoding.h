// A settings file an editor saved as UTF-16 (Notepad's "Unicode"): the
// system's profile functions read and write a file that begins with the
// UTF-16LE byte order mark in UTF-16, while the reader and the update
// (ini_text.h) work on code page 932 text. Such a file is seen through a
// code page 932 view of it, and written back in UTF-16 with every line the
// update left alone byte for byte. Any other mark (UTF-8's, UTF-16BE's) is
// text of the first line to the system, and so to the reader.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ports.h"
#include "settings/ini_text.h"

namespace qb {

class IniFileText {
 public:
  // The file's bytes as they were read: UTF-16LE when they begin with its
  // byte order mark, else code page 932.
  IniFileText(std::string_view bytes, Cp932Codec& codec);

  // Code page 932 text for the reader and the update: the file itself, or
  // the view of a UTF-16 file, where a character without a code page 932
  // form reads as "?", as the system's conversion gives it.
  const std::string& Text() const { return text_; }

  // The file's new bytes for `updated`, the text after the update that
  // made `edits` (see IniWithValues): a UTF-16 file stays UTF-16, lines the
  // update did not touch keep their own bytes and the text it wrote is
  // converted.
  std::string FileBytes(std::string_view updated, const std::vector<IniEdit>& edits = {}) const;

 private:
  static std::string Encode(std::u16string_view text);

  Cp932Codec& codec_;
  bool utf16_ = false;
  std::string text_;
  // A UTF-16 file's lines (each with its line end), as its own bytes and
  // as their part of text_.
  std::vector<std::string> fileLines_;
  std::vector<std::string> viewLines_;
  std::string oddByte_;  // a UTF-16 file's last byte, when its length is odd
};

}  // namespace qb
