// An initialization file's text, read and updated as code page 932 bytes,
// whatever the system's code page. Reading gives what the system's profile
// functions give on a Japanese system; an update changes only the lines of
// the keys it sets, so comments, other keys and sections, blank lines and
// line ends stay as they are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qb {

// The value of `key` in `section`, as the profile functions read it into a
// 256-byte buffer: section and key names match with ASCII letters in either
// case; blanks around names and values are dropped; a value in matching
// quotes loses them; only the first section of a name and the first key of
// a name in it count; at most 255 bytes come back, never half a character.
// Lines end at CR, LF or any run of them. A missing file, section, key or
// "=" reads as empty text.
std::string IniReadValue(std::string_view content, std::string_view section, std::string_view key);

// The most bytes a value reads back (IniReadValue): a longer one is cut.
inline constexpr size_t kIniValueBytes = 255;

struct IniSetting {
  std::string_view key;
  std::string_view value;
  // Leaves the key's line as it stands when it has one, so that a stored
  // value is never rewritten from its (possibly shortened) reading.
  bool keepStored = false;
};

// One change an update made to the text: `removed` bytes at `offset` (in
// the text as it was just before this change) gave way to `inserted`.
struct IniEdit {
  size_t offset = 0;
  size_t removed = 0;
  std::string inserted;
};

// `content` with each key of `settings` set in `section`, in order, as that
// many profile writes would set them: an existing key's line becomes
// "key=value" with its own line end; a missing key goes after the last
// line of its section, a missing section at the end of the file; new lines
// end in CR LF. Each change made is added to `edits` when given.
std::string IniWithValues(std::string_view content, std::string_view section,
                          const std::vector<IniSetting>& settings, std::vector<IniEdit>* edits = nullptr);

}  // namespace qb
