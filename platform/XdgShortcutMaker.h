#pragma once

#include "platform/ShortcutMaker.h"

namespace platform {

// Shortcuts in the XDG autostart folders: "\Startup" becomes a desktop entry
// <link name>.desktop that the desktop starts at logon, in
// $XDG_CONFIG_HOME/autostart (default ~/.config/autostart) for the current
// user, or in the first folder of $XDG_CONFIG_DIRS (default /etc/xdg) +
// /autostart for all users.
class XdgShortcutMaker : public ShortcutMaker
{
public:
    base::Result<void> create(const QString &folder, const QString &linkName, const QString &target,
                              const QString &arguments, ShortcutScope scope, const QString &workingFolder) override;

    // The logon-start folder of a scope, from the environment as it is now.
    static QString autostartFolder(ShortcutScope scope);
};

} // namespace platform
