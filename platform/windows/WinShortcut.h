#pragma once

#include "platform/windows/WinOutcome.h"

#include <string>

namespace winplat {

// Writes the shortcut linkName + ".lnk" into the Startup folder of the
// current user (CSIDL_STARTUP) or of all users (CSIDL_COMMON_STARTUP): it
// starts target with arguments in workingFolder. A shortcut of that name is
// replaced. linkName must be a plain file name (no folder, no characters
// that Windows refuses in names). Writing into the all-users folder without
// administrator rights gives accessDenied.
Outcome createStartupShortcut(bool allUsers, const std::wstring &linkName, const std::wstring &target,
                              const std::wstring &arguments, const std::wstring &workingFolder);

// The shortcut linkName + ".lnk" of the current user's or all users' Startup
// folder: its path, and the file it starts; that file is empty where there
// is no such shortcut or it cannot be read.
struct StartupShortcut {
    std::wstring path;
    std::wstring target;
};
StartupShortcut readStartupShortcut(bool allUsers, const std::wstring &linkName);

} // namespace winplat
