#pragma once

#include "base/Result.h"
#include "platform/ShortcutMaker.h"

#include <QString>

namespace platform {

// Whether a logon entry starts a program at this user's next logon. The
// entry is the shortcut linkName ("Rendaro") in the user's or all users'
// logon folder: on Windows linkName.lnk in the two Startup folders, which
// Task Manager's Startup apps may have switched off; elsewhere the XDG
// autostart entry linkName.desktop, of which the user's own replaces the
// system's and may hide it.
struct LogonEntry {
    bool starts = false;
    QString what; // the entry that starts it, or why none does
    // One line for the user.
    QString line() const
    {
        return (starts ? QStringLiteral("At logon: ") : QStringLiteral("Not started at logon: ")) + what;
    }
};

LogonEntry judgeLogonEntry(const QString &linkName, const QString &program);

// After the shortcut of scope was written: switches it back on where this
// user's startup settings switched it off and the user may change them. A
// Failure saying why where it stays off for this user; denied where rights
// are wanting.
base::Result<void> switchOnLogonEntry(ShortcutScope scope, const QString &linkName, const QString &program);

} // namespace platform
