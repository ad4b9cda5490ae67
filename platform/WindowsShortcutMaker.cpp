#include "platform/WindowsShortcutMaker.h"


#ifdef Q_OS_WIN
#include "platform/windows/WinShortcut.h"
#endif

namespace platform {

ShortcutResult WindowsShortcutMaker::create(const QString &folder, const QString &linkName,
                                            const QString &target, const QString &arguments,
                                            ShortcutScope scope, const QString &workingFolder)
{
    if (folder != QLatin1String("\\Startup"))
        return {false, QStringLiteral("there is no shortcut folder \"%1\" here").arg(folder),
                false};
#ifdef Q_OS_WIN
    const winplat::Outcome outcome = winplat::createStartupShortcut(
        scope == ShortcutScope::AllUsers, linkName.toStdWString(), target.toStdWString(),
        arguments.toStdWString(), workingFolder.toStdWString());
    return {outcome.ok, QString::fromStdWString(outcome.error),
            outcome.accessDenied && scope == ShortcutScope::AllUsers};
#else
    Q_UNUSED(linkName) Q_UNUSED(target) Q_UNUSED(arguments) Q_UNUSED(scope) Q_UNUSED(workingFolder)
    return {false, QStringLiteral("shortcuts are not supported here"), false};
#endif
}

} // namespace platform
