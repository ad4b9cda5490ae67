#pragma once

#include <QString>

namespace platform {

enum class ShortcutScope { CurrentUser, AllUsers };

struct ShortcutResult {
    bool ok = false;
    QString error;      // why not, when !ok
    bool needsAdmin = false; // the folder is one only an administrator may write
};

// Creates a shortcut: folder ("\Startup": the folder of programs started at
// logon), link name, target, arguments, for the current user or all users.
// The shortcut starts the target in workingFolder. An existing shortcut of
// that name is replaced.
class ShortcutMaker
{
public:
    virtual ~ShortcutMaker() = default;
    virtual ShortcutResult create(const QString &folder, const QString &linkName,
                                  const QString &target, const QString &arguments,
                                  ShortcutScope scope, const QString &workingFolder) = 0;
};

} // namespace platform
