#pragma once

// The built launcher, and the recording program it starts, in temporary
// working folders.

#include "support/Files.h"
#include "support/Run.h"

inline QString launcherProgram()
{
    return testing::builtProgram(QStringLiteral("Rendaro.exe"));
}

// Runs the launcher in folder; the started recorders write to logFile.
inline testing::Finished runLauncher(const QString &folder, const QStringList &arguments, const QString &logFile = {},
                                     QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
{
    environment.insert(QStringLiteral("RENDARO_TEST_LOG"), logFile);
    return testing::run(launcherProgram(), arguments, folder, environment);
}

// A copy of the recorder at path, folders made as needed, that all may run.
inline bool copyRecorder(const QString &path)
{
    return QDir().mkpath(QFileInfo(path).absolutePath()) && QFile::copy(QStringLiteral(RECORDER_PATH), path);
}

// A day list of these lines, CR LF after each, that only its owner may write.
inline bool writeDayList(const QString &path, const QStringList &lines)
{
    return testing::writeFile(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8())
           && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

struct Recorded {
    QString program, workingFolder;
    int argumentCount = -1;
    QString output;
};

// What the recorders appended to logFile, one start a line.
inline QList<Recorded> readRecords(const QString &logFile)
{
    QList<Recorded> records;
    for (const QByteArray &line : testing::readFile(logFile).split('\n'))
        if (const QList<QByteArray> f = line.split('\t'); f.size() == 4)
            records.append({QFile::decodeName(f[0]), QFile::decodeName(f[1]), f[2].toInt(), QFile::decodeName(f[3])});
    return records;
}
