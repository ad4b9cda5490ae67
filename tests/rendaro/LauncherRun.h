#pragma once

// The built launcher, and the recording program it starts, in temporary
// working folders.

#include "support/Files.h"
#include "support/Run.h"

inline const QString kLauncher = testing::builtProgram(QStringLiteral("Rendaro.exe"));

// Runs the launcher in folder; the started recorders write to logFile.
inline testing::Finished runLauncher(const QString &folder, const QStringList &arguments, const QString &logFile = {},
                                     QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
{
    environment.insert(QStringLiteral("RENDARO_TEST_LOG"), logFile);
    return testing::run(kLauncher, arguments, folder, environment);
}

// A copy of the recorder at path, folders made as needed, that all may run
// and only its owner change, whatever the checkout's modes.
inline bool copyRecorder(const QString &path)
{
    return QDir().mkpath(QFileInfo(path).absolutePath()) && QFile::copy(QStringLiteral(RECORDER_PATH), path)
           && QFile::setPermissions(path, QFileDevice::Permissions(0x7755));
}

// A day list of these lines, CR LF after each, that only its owner may write.
inline bool writeDayList(const QString &path, const QStringList &lines)
{
    return testing::writeFile(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8())
           && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

// What the recorders appended to logFile, one start a list: program, working folder, argument count, output.
inline QList<QStringList> readRecords(const QString &logFile)
{
    QList<QStringList> records;
    for (const QString &line : QString::fromUtf8(testing::readFile(logFile)).split(u'\n', Qt::SkipEmptyParts))
        records.append(line.split(u'\t'));
    return records;
}
