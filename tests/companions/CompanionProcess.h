#pragma once

// Runs the built companion programs in a test's working folder and looks at
// the files they leave.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace testing {

// The built companion program of that name ("brinol.com"), beside vellomar.
inline QString companionProgram(const QString &name)
{
    return QDir(qEnvironmentVariable("VELLOMAR_BIN_DIR")).filePath(name);
}

struct Finished {
    bool ran = false; // started and ended by itself
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Starts a companion program in folder; the caller waits with finish().
inline QProcess *startCompanion(const QString &name, const QString &folder, const QStringList &arguments = {},
                                QObject *parent = nullptr)
{
    auto *process = new QProcess(parent);
    process->setProgram(companionProgram(name));
    process->setArguments(arguments);
    process->setWorkingDirectory(folder);
    process->start();
    return process;
}

inline Finished finish(QProcess &process)
{
    Finished f;
    if (process.state() == QProcess::Starting)
        process.waitForStarted(-1);
    if (process.state() == QProcess::Running)
        process.waitForFinished(-1);
    if (process.state() != QProcess::NotRunning || process.error() == QProcess::FailedToStart)
        return f;
    f.ran = process.exitStatus() == QProcess::NormalExit;
    f.exitCode = process.exitCode();
    f.out = process.readAllStandardOutput();
    f.err = process.readAllStandardError();
    return f;
}

inline Finished runCompanion(const QString &name, const QString &folder, const QStringList &arguments = {})
{
    QProcess process;
    process.setProgram(companionProgram(name));
    process.setArguments(arguments);
    process.setWorkingDirectory(folder);
    process.start();
    return finish(process);
}

inline bool writeBytes(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The contents of a file; a null array when it does not exist.
inline QByteArray readBytes(const QString &folder, const QString &name)
{
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.isNull())
        bytes = QByteArray("");
    return bytes;
}

inline bool exists(const QString &folder, const QString &name)
{
    return QFileInfo::exists(QDir(folder).filePath(name));
}

// A full program path as this platform writes one.
inline QString programPath(const QString &name)
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Tools\\") + name + QStringLiteral(".exe");
#else
    return QStringLiteral("/opt/tools/") + name;
#endif
}

// An entry's four lines as CR LF text, spelled out here rather than through
// the code under test.
inline QByteArray entryText(const char *time, const QString &path, const char *style, const char *day)
{
    return QByteArray(time) + "\r\n" + path.toLatin1() + "\r\n" + style + "\r\n" + day + "\r\n";
}

} // namespace testing
