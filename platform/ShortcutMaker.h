#pragma once

#include "base/Result.h"

#include <QString>

namespace platform {

enum class ShortcutScope { CurrentUser, AllUsers };

// Creates a shortcut: folder ("\Startup": the folder of programs started at
// logon), link name, target, arguments, for the current user or all users.
// The shortcut starts the target in workingFolder. An existing shortcut of
// that name is replaced. A failure for want of rights to the folder is denied.
class ShortcutMaker
{
public:
    virtual ~ShortcutMaker() = default;
    virtual base::Result<void> create(const QString &folder, const QString &linkName, const QString &target,
                                      const QString &arguments, ShortcutScope scope, const QString &workingFolder) = 0;
};

} // namespace platform
