#pragma once

// Running the built programs (vellomar's companions, the launcher) and the
// tests' helper programs, and collecting what they print.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <memory>

namespace testing {

// A program built beside vellomar ("brinol.com", "Rendaro.exe").
inline QString builtProgram(const QString &name)
{
    return QDir(qEnvironmentVariable("VELLOMAR_BIN_DIR")).filePath(name);
}

// A helper program built beside the test programs.
inline QString testHelper(const QString &name)
{
    return QCoreApplication::applicationDirPath() + u'/' + name;
}

struct Finished {
    bool ran = false;  // started and ended by itself, in time
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Starts program in folder (the working folder when empty) without waiting.
inline QProcess *startProgram(const QString &program, const QStringList &arguments = {}, const QString &folder = {},
                              const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    auto *process = new QProcess;
    process->setWorkingDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    process->setProcessEnvironment(environment);
    process->start(program, arguments);
    return process;
}

// Waits for the end, killing the program after timeoutMs.
inline Finished finish(QProcess &process, int timeoutMs = 60000)
{
    Finished f;
    process.waitForStarted(-1);
    if (process.state() == QProcess::Running && !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(-1);
        return f;
    }
    f.ran = process.error() != QProcess::FailedToStart && process.exitStatus() == QProcess::NormalExit;
    f.exitCode = f.ran ? process.exitCode() : -1;
    f.out = process.readAllStandardOutput();
    f.err = process.readAllStandardError();
    return f;
}

inline Finished run(const QString &program, const QStringList &arguments = {}, const QString &folder = {},
                    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                    int timeoutMs = 60000)
{
    std::unique_ptr<QProcess> process(startProgram(program, arguments, folder, environment));
    return finish(*process, timeoutMs);
}

} // namespace testing
