#include "platform/LogonEntry.h"

#include "platform/Trust.h"
#include "platform/windows/WinShortcut.h"
#include "platform/windows/WinStartupApproved.h"

#include <QDir>

namespace platform {

// Windows runs each Startup folder's shortcut, the user's and all users',
// unless Task Manager switched it off.
LogonEntry judgeLogonEntry(const QString &linkName, const QString &program)
{
    QStringList seen;
    for (const bool allUsers : {false, true}) {
        const winplat::StartupShortcut shortcut = winplat::readStartupShortcut(allUsers, linkName.toStdWString());
        const QString path = QString::fromStdWString(shortcut.path), target = QString::fromStdWString(shortcut.target);
        if (target.isEmpty())
            continue;
        if (!sameFile(target, program))
            seen.append(QStringLiteral("%1 starts %2").arg(path, target));
        else if (winplat::startupItemSwitchedOff(allUsers, (linkName + QStringLiteral(".lnk")).toStdWString()))
            seen.append(QStringLiteral("Task Manager has %1 switched off").arg(path));
        else
            return {true, QStringLiteral("%1 starts %2").arg(path, QDir::toNativeSeparators(program))};
    }
    if (seen.isEmpty())
        return {false, QStringLiteral("no %1.lnk in the Startup folders").arg(linkName)};
    return {false, seen.join(QStringLiteral("; "))};
}

base::Result<void> switchOnLogonEntry(ShortcutScope scope, const QString &linkName, const QString &)
{
    const bool allUsers = scope == ShortcutScope::AllUsers;
    const winplat::Outcome on =
        winplat::switchOnStartupItem(allUsers, (linkName + QStringLiteral(".lnk")).toStdWString());
    if (on.ok)
        return {};
    const QString rights = on.accessDenied ? QStringLiteral(", and only an administrator may switch it on") : QString();
    return base::Failure{
        QStringLiteral("Task Manager has it switched off%1 (%2)").arg(rights, QString::fromStdWString(on.error)),
        int(on.code), on.accessDenied};
}

} // namespace platform
