#include "platform/SystemProgramStarter.h"

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

QString SystemProgramStarter::findProgram(const QString &name)
{
    if (name.contains(u'/') || name.contains(QDir::separator()))
        return QFileInfo(name).isExecutable() ? QFileInfo(name).absoluteFilePath() : QString();

    // Only absolute folders: an empty or relative PATH entry would mean the
    // working folder, where a file of that name must never be started.
    // Qt gives no application folder when the folder's name cannot be
    // decoded; that is no reason to search the file system root instead.
    QStringList folders;
    if (const QString own = QCoreApplication::applicationDirPath(); !own.isEmpty())
        folders.append(own);
    const QString path = qEnvironmentVariable("PATH");
    for (const QString &folder : path.split(QDir::listSeparator(), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(folder))
            folders.append(folder);
    return QStandardPaths::findExecutable(name, folders);
}

StartResult SystemProgramStarter::start(const QString &commandLine, WindowStyle style)
{
    const qsizetype blank = commandLine.indexOf(u' ');
    const QString name = blank < 0 ? commandLine : commandLine.left(blank);
    QStringList arguments;
    if (blank >= 0)
        arguments.append(commandLine.mid(blank + 1));

    const QString program = findProgram(name);
    if (program.isEmpty())
        return {false, QStringLiteral("the program was not found")};

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // No working folder is set: the program inherits this one, whose name
    // as text may not lead back to it (bytes that are not UTF-8).
    if (style == WindowStyle::Hidden) {
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
        // A console program (brinol.com, zeptra.com) gets no console window.
        process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
            args->flags |= CREATE_NO_WINDOW;
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = SW_HIDE;
        });
#endif
    }
    if (!process.startDetached())
        return {false, process.errorString()};
    return {true, {}};
}

StartResult SystemProgramStarter::startWatched(const QString &commandLine, WindowStyle style,
                                               std::function<void(bool succeeded)> ended)
{
    const qsizetype blank = commandLine.indexOf(u' ');
    const QString program = findProgram(blank < 0 ? commandLine : commandLine.left(blank));
    if (program.isEmpty())
        return {false, QStringLiteral("the program was not found")};

    // Never deleted while the program runs, since a QProcess that goes kills
    // its program: one still running at exit is left to run on.
    auto *process = new QProcess;
    process->setProgram(program);
    if (blank >= 0)
        process->setArguments({commandLine.mid(blank + 1)});
    // Inherits the working folder, as above.
    process->setStandardInputFile(QProcess::nullDevice());
    if (style == WindowStyle::Hidden) {
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
    } else {
        process->setProcessChannelMode(QProcess::ForwardedChannels);
    }
    QObject::connect(process, &QProcess::finished, process,
                     [process, ended](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         ended(status == QProcess::NormalExit && exitCode == 0);
                     });
    process->start();
    // Only the start itself is waited for, as startDetached() does.
    if (!process->waitForStarted(-1)) {
        const QString error = process->errorString();
        delete process;
        return {false, error};
    }
    return {true, {}};
}

} // namespace platform
