#include "platform/SystemProgramStarter.h"

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "platform/WinResult.h"
#include "platform/windows/WinStart.h"
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

namespace {

void setUp(QProcess &process, const QString &path, const QStringList &arguments, WindowStyle style,
           const QString &workingFolder, bool watched, const QStringList &variables)
{
    process.setProgram(path);
    process.setArguments(arguments);
    if (!variables.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &variable : variables)
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        process.setProcessEnvironment(environment);
    }
    // Without a working folder the program inherits this one, whose name as
    // text may not lead back to it (bytes that are not UTF-8).
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    if (style == WindowStyle::Hidden) {
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    } else if (watched) {
        // A child of this process, not a detached one: it reads no input and
        // writes where this process writes.
        process.setStandardInputFile(QProcess::nullDevice());
        process.setProcessChannelMode(QProcess::ForwardedChannels);
    }
}

#ifdef Q_OS_WIN
// On Windows the program file itself is started by CreateProcessW, never
// through the shell (as QProcess does for a program that asks for
// elevation). The start carries the show state: 0 Normal, 1 Hide, 2 Min,
// 3 Max; a console program gets a console of its own in it.
base::Result<qint64> startDetached(const QString &path, const QStringList &arguments, WindowStyle style,
                                   const QString &workingFolder, const QStringList &)
{
    int runStyle = 0;
    switch (style) {
    case WindowStyle::NormalFocus:
        runStyle = 0;
        break;
    case WindowStyle::Hidden:
        runStyle = 1;
        break;
    case WindowStyle::Minimized:
        runStyle = 2;
        break;
    case WindowStyle::Maximized:
        runStyle = 3;
        break;
    }
    std::wstring commandArguments;
    for (const QString &argument : arguments)
        commandArguments += (commandArguments.empty() ? L"" : L" ") + winplat::quoteArgument(argument.toStdWString());
    unsigned long pid = 0;
    const base::Result<void> started =
        fromOutcome(winplat::startProgram(QDir::toNativeSeparators(path).toStdWString(), commandArguments,
                                          QDir::toNativeSeparators(workingFolder).toStdWString(), runStyle, &pid));
    if (!started)
        return started.failure();
    return qint64(pid);
}
#else
base::Result<qint64> startDetached(const QString &path, const QStringList &arguments, WindowStyle style,
                                   const QString &workingFolder, const QStringList &variables)
{
    QProcess process;
    setUp(process, path, arguments, style, workingFolder, false, variables);
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return base::Failure{process.errorString()};
    return pid;
}
#endif

} // namespace

base::Result<qint64> startProgram(const QString &path, const QStringList &arguments, WindowStyle style,
                                  const QString &workingFolder, std::function<void(bool succeeded)> ended,
                                  const QStringList &variables)
{
    if (!ended)
        return startDetached(path, arguments, style, workingFolder, variables);

    // Never deleted while the program runs, since a QProcess that goes kills
    // its program: one still running at exit is left to run on.
    auto *process = new QProcess;
    setUp(*process, path, arguments, style, workingFolder, true, variables);
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
        return base::Failure{error};
    }
    return process->processId();
}

base::Result<qint64> SystemProgramStarter::start(const QString &program, const QStringList &arguments,
                                                 WindowStyle style, std::function<void(bool succeeded)> ended)
{
    const QString path = findProgram(program);
    if (path.isEmpty())
        return base::Failure{QStringLiteral("the program was not found")};
    return startProgram(path, arguments, style, {}, std::move(ended));
}

} // namespace platform
