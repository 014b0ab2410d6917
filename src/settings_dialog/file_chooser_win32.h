// The system's file-open dialog, asked for one existing file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "settings_dialog/dialog_logic.h"

namespace qb {

// The chosen path, up to the buffer's first NUL; nothing when the user
// cancelled or the system failed.
std::optional<std::u16string> ChooseFileToOpen(HWND owner, const OpenFileRequest& request);

}  // namespace qb
