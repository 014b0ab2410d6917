#include "platform/file_replace.h"

#include "platform/program_paths.h"

namespace qb {
namespace {

// The new file `fresh` into the target's place; false when the target is
// left as it was.
bool PutInPlace(FileSteps& steps, const std::u16string& folder, const std::u16string& target,
                const std::u16string& fresh) {
  // With no old file there is nothing to keep: one move does it.
  if (!steps.Exists(target)) return steps.Move(fresh, target);
  const std::optional<std::u16string> backup = steps.MakeBackupFile(folder);
  if (!backup) return false;
  // With a backup name, ReplaceFile never leaves the target's name empty
  // without saying where the old file went: after 1176 (and, as documented,
  // any other error) both files keep their names, after 1177 the old one is
  // the backup. Only then does the backup hold anything: the empty file made
  // above never goes over a target that has gone meanwhile.
  const uint32_t error = steps.Replace(target, fresh, *backup);
  if (error == 0) return true;
  const bool oldMovedAside = error == kErrorUnableToMoveReplacement2;
  // The rename that ReplaceFile was refused (a scanner or a sync client
  // holding the file, a share that does not rename over a file) often goes
  // through as a plain move, which replaces the target in one step too.
  if (steps.Move(fresh, target)) return true;
  // The old file goes back under its name, by a copy when no rename is
  // allowed.
  if (oldMovedAside && !steps.Move(*backup, target)) {
    if (steps.Copy(*backup, target)) steps.Delete(*backup);
    return false;
  }
  if (!oldMovedAside) steps.Delete(*backup);
  return false;
}

}  // namespace

bool ReplaceWholeFile(FileSteps& steps, const std::u16string& target, const std::string& content) {
  const std::u16string folder = FolderOfPath(target);
  if (folder.empty()) return false;
  const std::optional<std::u16string> fresh = steps.WriteNewFile(folder, content);
  if (!fresh) return false;
  if (!PutInPlace(steps, folder, target, *fresh)) {
    steps.Delete(*fresh);
    return false;
  }
  // The old file under its backup name, and any backup an earlier save
  // could not delete.
  for (const std::u16string& backup : steps.Backups(folder)) steps.Delete(backup);
  return true;
}

}  // namespace qb
