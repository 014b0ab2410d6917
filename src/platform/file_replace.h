// Putting a file's new content in place so that, whatever the file system
// answers and wherever the machine stops, the file keeps its name and is
// either the old one or the new one, whole.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ports.h"

namespace qb {

// The errors of ReplaceFile that the replacement answers.
inline constexpr uint32_t kErrorUnableToMoveReplacement = 1176;
inline constexpr uint32_t kErrorUnableToMoveReplacement2 = 1177;

// Writes `content` to a new file beside `target` and puts it in the
// target's place. False when it could not; the target then holds what it
// held (or is still missing), and no new file is left. The old file goes
// under a backup name no file had; a backup the system will not let go of
// is left, and the next replacement in that folder that succeeds deletes
// it, with any other "qbsXXXX.bak" there.
bool ReplaceWholeFile(FileSteps& steps, const std::u16string& target, const std::string& content);

}  // namespace qb
