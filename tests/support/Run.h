#pragma once

// Running the built programs and the tests' helpers, and what they print.

#include <QDir>
#include <QProcess>

namespace testing {

// A program built beside vellomar ("brinol.com", "Rendaro.exe").
inline QString builtProgram(const QString &name)
{
    return QDir(qEnvironmentVariable("VELLOMAR_BIN_DIR")).filePath(name);
}

struct Finished {
    bool ran = false; // started and ended by itself, in time
    int exitCode = -1;
    QByteArray out, err;
};

// Runs program in folder (the working folder when empty) to its end, killing it after a minute.
inline Finished run(const QString &program, const QStringList &arguments = {}, const QString &folder = {},
                    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setWorkingDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(60000);
    if (!ended)
        process.kill(), process.waitForFinished(-1);
    const bool ran = ended && process.exitStatus() == QProcess::NormalExit;
    return {ran, ran ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace testing
