// Putting a file's new content in place so that, whatever the file system
// answers and wherever the machine stops, the file is either the old one or
// the new one, whole, and nothing else is left in its folder.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace qb {

// The errors of ReplaceFile that the replacement answers.
inline constexpr uint32_t kErrorUnableToMoveReplacement = 1176;
inline constexpr uint32_t kErrorUnableToMoveReplacement2 = 1177;

// The backup name that goes with a new file's name: "qbs1a2b.tmp" gives
// "qbs1a2b.bak".
std::u16string BackupNameFor(const std::u16string& newFile);

// Writes `content` to a new file beside `target` and puts it in the
// target's place. False when it could not; the target is then as it was.
bool ReplaceWholeFile(FileSteps& steps, const std::u16string& target, const std::string& content);

}  // namespace qb
