#pragma once

#include "platform/ShortcutMaker.h"

namespace platform {

// Shortcuts as Rendaro.lnk files in the Startup folder of the user
// (CSIDL_STARTUP) or of all users (CSIDL_COMMON_STARTUP), made by the
// Qt-free IShellLinkW code in platform/windows/.
class WindowsShortcutMaker : public ShortcutMaker
{
public:
    base::Result<void> create(const QString &folder, const QString &linkName, const QString &target,
                              const QString &arguments, ShortcutScope scope, const QString &workingFolder) override;
};

} // namespace platform
