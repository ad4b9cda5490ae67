#include "platform/WindowsShortcutMaker.h"
#include "platform/windows/WinShortcut.h"

namespace platform {

ShortcutResult WindowsShortcutMaker::create(const QString &folder, const QString &linkName,
                                            const QString &target, const QString &arguments,
                                            ShortcutScope scope, const QString &workingFolder)
{
    if (folder != QLatin1String("\\Startup"))
        return {false, QStringLiteral("there is no shortcut folder \"%1\" here").arg(folder),
                false};
    const winplat::Outcome outcome = winplat::createStartupShortcut(
        scope == ShortcutScope::AllUsers, linkName.toStdWString(), target.toStdWString(),
        arguments.toStdWString(), workingFolder.toStdWString());
    return {outcome.ok, QString::fromStdWString(outcome.error),
            outcome.accessDenied && scope == ShortcutScope::AllUsers};
}

} // namespace platform
