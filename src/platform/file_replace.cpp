#include "platform/file_replace.h"

#include "platform/program_paths.h"

namespace qb {

std::u16string BackupNameFor(const std::u16string& newFile) {
  const size_t dot = newFile.rfind(u'.');
  const size_t folderEnd = newFile.rfind(u'\\');
  const bool hasExtension = dot != std::u16string::npos && (folderEnd == std::u16string::npos || dot > folderEnd);
  return (hasExtension ? newFile.substr(0, dot) : newFile) + u".bak";
}

bool ReplaceWholeFile(FileSteps& steps, const std::u16string& target, const std::string& content) {
  const std::u16string folder = FolderOfPath(target);
  if (folder.empty()) return false;
  const std::optional<std::u16string> fresh = steps.WriteNewFile(folder, content);
  if (!fresh) return false;
  // With a backup name, ReplaceFile never leaves the target's name empty
  // without saying where the old file went: after 1176 both files keep
  // their names, after 1177 the old one is the backup.
  const std::u16string backup = BackupNameFor(*fresh);
  const uint32_t error = steps.Replace(target, *fresh, backup);
  if (error == 0) {
    steps.Delete(backup);
    return true;
  }
  // The rename that ReplaceFile was refused (a scanner or a sync client
  // holding the file, a share that does not rename over a file) often goes
  // through as a plain move, which replaces the target in one step too.
  const bool oldMovedAside = error == kErrorUnableToMoveReplacement2 ||
                             (!steps.Exists(target) && steps.Exists(backup));
  if (steps.Move(*fresh, target)) {
    if (oldMovedAside) steps.Delete(backup);
    return true;
  }
  // The old file goes back under its name. Should even that be refused, it
  // stays whole under the backup name rather than be deleted.
  if (oldMovedAside) steps.Move(backup, target);
  steps.Delete(*fresh);
  return false;
}

}  // namespace qb
