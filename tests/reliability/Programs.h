#pragma once

// Running the built programs (brinol.com, zeptra.com, Rendaro.exe) from the
// reliability tests, each run bounded so that a hang fails the test instead
// of stalling the suite, and the files they work on.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

namespace reliability {

// Long enough for any run on a loaded machine; a run that needs it hangs.
constexpr int kHangMs = 60'000;

inline QString program(const QString &name)
{
    return QDir(qEnvironmentVariable("VELLOMAR_BIN_DIR")).filePath(name);
}

struct Ran {
    bool ended = false;   // ended by itself, without a crash
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline Ran run(const QString &name, const QString &folder, const QStringList &arguments = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program(name), arguments);
    Ran ran;
    if (!process.waitForFinished(kHangMs)) {
        process.kill();
        process.waitForFinished(-1);
        return ran;
    }
    ran.ended = process.exitStatus() == QProcess::NormalExit;
    ran.exitCode = process.exitCode();
    ran.out = process.readAllStandardOutput();
    ran.err = process.readAllStandardError();
    return ran;
}

// Writes a file only its owner may write, as a schedule folder's files are.
inline bool writeFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

inline bool writeFile(const QString &folder, const QString &name, const std::string &bytes)
{
    return writeFile(folder, name, QByteArray(bytes.data(), qsizetype(bytes.size())));
}

// The bytes of a file; a null array when it cannot be read.
inline QByteArray readFile(const QString &folder, const QString &name)
{
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    return bytes.isNull() ? QByteArray("") : bytes;
}

inline std::string stdString(const QByteArray &bytes)
{
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace reliability
