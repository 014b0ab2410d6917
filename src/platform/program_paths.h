// The paths the program works out for itself: its own arguments and mode,
// the folder of a path, and the files that sit beside the program.
#pragma once

#include <string>
#include <string_view>

#include "platform/ports.h"

namespace qb {

// The command line after the executable's name and the blanks that follow
// it: "/s", "/p 1234", "/c:5678" or empty.
std::u16string ArgumentString(std::u16string_view commandLine);

// The second character of the argument string, upper-cased; empty when the
// argument string has fewer than two characters.
std::string ModeLetter(std::string_view argumentString);

// The folder part of a path: up to the last ':' or '\', without a trailing
// backslash ("C:\Music\a.mp3" gives "C:\Music", "C:\a.mp3" gives "C:").
// On UTF-16, where no other character holds those values.
std::u16string FolderOfPath(std::u16string_view path);

// True when `path` (one trailing backslash ignored) names a file that can
// be opened for reading now: not a folder, an empty path or a locked file.
bool FileExists(FileSystem& files, std::u16string path);

// True for a path music may be read from. Refused: an empty path; the
// device namespaces \\.\, \\?\ (\\?\UNC\ too) and \??\, with either slash;
// on a server (\\host\...), its "pipe" and "IPC$" shares in any case, a
// "." or ".." part and a redirector's name (\\;LanmanRedirector\...); a DOS device name as any part of the path (CON, PRN,
// AUX, NUL, CONIN$, CONOUT$, COM0-COM9, LPT0-LPT9 and COM or LPT with a
// superscript 1, 2 or 3), in any case, with any extension and trailing
// dots or spaces; and a quote or a control character, which no file name
// holds and which could end the quoted name in an MCI command. Each of
// these reaches a pipe, a device or a raw volume rather than a file.
bool IsMusicPath(std::u16string_view path);

// The companion program's path for a program folder.
std::u16string CompanionPathOf(const std::u16string& programFolder);

// The settings file's path for a folder.
std::u16string SettingsFilePath(const std::u16string& folder);

}  // namespace qb
