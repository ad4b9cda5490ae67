#pragma once

#include "platform/windows/WinOutcome.h"

#include <string>

namespace winplat {

// The switch of Task Manager's Startup apps (and of Settings) for the item
// fileName ("Rendaro.lnk") of the current user's Startup folder (under
// HKCU) or of all users' (under HKLM): a 12-byte REG_BINARY value of that
// name under ...\Explorer\StartupApproved\StartupFolder, whose first byte is
// even while the item is on (02, 06) and odd while it is off (03), followed
// by the time it was switched off. No value: on.
bool startupItemSwitchedOff(bool allUsers, const std::wstring &fileName);

// Switches the item on where it is off: first byte 02, no time. Without the
// rights to HKLM, accessDenied.
Outcome switchOnStartupItem(bool allUsers, const std::wstring &fileName);

} // namespace winplat
