// On Windows the program file itself is started by CreateProcessW, never
// through the shell (as QProcess does for a program that asks for
// elevation). The start carries the show state: 0 Normal, 1 Hide, 2 Min,
// 3 Max; a console program gets a console of its own in it.
#include "platform/SystemProgramStarter.h"

#include "platform/WinResult.h"
#include "platform/windows/WinStart.h"

#include <QDir>
#include <QProcess>

namespace platform {

base::Result<qint64> startDetached(QProcess &process, WindowStyle style)
{
    int runStyle = 0;
    switch (style) {
    case WindowStyle::NormalFocus: runStyle = 0; break;
    case WindowStyle::Hidden: runStyle = 1; break;
    case WindowStyle::Minimized: runStyle = 2; break;
    case WindowStyle::Maximized: runStyle = 3; break;
    }
    std::wstring commandArguments;
    const QStringList arguments = process.arguments();
    for (const QString &argument : arguments)
        commandArguments += (commandArguments.empty() ? L"" : L" ") + winplat::quoteArgument(argument.toStdWString());
    unsigned long pid = 0;
    const base::Result<void> started = fromOutcome(winplat::startProgram(
        QDir::toNativeSeparators(process.program()).toStdWString(), commandArguments,
        QDir::toNativeSeparators(process.workingDirectory()).toStdWString(), runStyle, &pid));
    if (!started)
        return started.failure();
    return qint64(pid);
}

} // namespace platform
