#pragma once

// Running the built launcher and the recording test program in temporary
// working folders.

#include "support/Files.h"
#include "support/Run.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct RunResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline QString launcherProgram()
{
    return testing::builtProgram(QStringLiteral("Rendaro.exe"));
}

// Runs the launcher in workingFolder; the started programs record into logFile.
inline RunResult runLauncher(const QString &workingFolder, const QStringList &arguments, const QString &logFile = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!logFile.isEmpty())
        environment.insert(QStringLiteral("RENDARO_TEST_LOG"), logFile);
    const testing::Finished f = testing::run(launcherProgram(), arguments, workingFolder, environment, 120000);
    if (!f.ran && f.out.isEmpty() && f.err.isEmpty())
        return {-1, {}, QStringLiteral("the launcher did not finish")};
    return {f.exitCode, QString::fromLocal8Bit(f.out), QString::fromLocal8Bit(f.err)};
}

// A copy of a helper program at path (folders made as needed), executable.
inline bool copyProgram(const char *helper, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    return QFile::copy(testing::testHelper(QString::fromLatin1(helper)), path)
           && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The lines of a day list file, CR LF after each, written 0600.
inline bool writeDayList(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return testing::writeFile(path, bytes) && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

struct Recorded {
    QString program;
    QString workingFolder;
    int argumentCount = -1;
    QString arguments;
    QString output;
};

// The lines the recording program appended to logFile, in order.
inline QList<Recorded> readRecords(const QString &logFile)
{
    QList<Recorded> records;
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        return records;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() == 5)
            records.append({QFile::decodeName(f[0]), QFile::decodeName(f[1]), f[2].toInt(), QFile::decodeName(f[3]),
                            QFile::decodeName(f[4])});
    }
    return records;
}
