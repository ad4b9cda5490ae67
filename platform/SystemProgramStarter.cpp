#include "platform/SystemProgramStarter.h"

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

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

} // namespace

base::Result<qint64> startProgram(const QString &path, const QStringList &arguments, WindowStyle style,
                                      const QString &workingFolder, std::function<void(bool succeeded)> ended,
                                      const QStringList &variables)
{
    if (!ended) {
        QProcess process;
        setUp(process, path, arguments, style, workingFolder, false, variables);
        return startDetached(process, style);
    }

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
