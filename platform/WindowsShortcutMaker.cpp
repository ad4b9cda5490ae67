#include "platform/WindowsShortcutMaker.h"
#include "platform/WinResult.h"
#include "platform/windows/WinShortcut.h"

namespace platform {

base::Result<void> WindowsShortcutMaker::create(const QString &folder, const QString &linkName, const QString &target,
                                                const QString &arguments, ShortcutScope scope,
                                                const QString &workingFolder)
{
    if (folder != QLatin1String("\\Startup"))
        return base::Failure{QStringLiteral("there is no shortcut folder \"%1\" here").arg(folder)};
    return fromOutcome(winplat::createStartupShortcut(scope == ShortcutScope::AllUsers, linkName.toStdWString(),
                                                      target.toStdWString(), arguments.toStdWString(),
                                                      workingFolder.toStdWString()));
}

} // namespace platform
