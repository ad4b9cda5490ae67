#pragma once

// Running the built launcher, and the recording program it starts, in
// temporary working folders.

#include "support/Files.h"
#include "support/Run.h"

struct RunResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline QString launcherProgram()
{
    return testing::builtProgram(QStringLiteral("Rendaro.exe"));
}

// Runs the launcher in workingFolder; the started recorders write to logFile.
inline RunResult runLauncher(const QString &workingFolder, const QStringList &arguments, const QString &logFile = {},
                             QProcessEnvironment environment = QProcessEnvironment::systemEnvironment())
{
    if (!logFile.isEmpty())
        environment.insert(QStringLiteral("RENDARO_TEST_LOG"), logFile);
    const testing::Finished f = testing::run(launcherProgram(), arguments, workingFolder, environment, 120000);
    if (!f.ran)
        return {-1, {}, QStringLiteral("the launcher did not finish")};
    return {f.exitCode, QString::fromUtf8(f.out), QString::fromUtf8(f.err)};
}

// A copy of a helper program at path, folders made as needed, executable.
inline bool copyProgram(const char *helper, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    return QFile::copy(testing::testHelper(QString::fromLatin1(helper)), path)
           && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                              | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
}

// A day list of these lines, CR LF after each, that only its owner may write.
inline bool writeDayList(const QString &path, const QStringList &lines)
{
    return testing::writeFile(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8())
           && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

struct Recorded {
    QString program;
    QString workingFolder;
    int argumentCount = -1;
    QString output;
};

// What the recorders appended to logFile, one start a line.
inline QList<Recorded> readRecords(const QString &logFile)
{
    QList<Recorded> records;
    for (const QByteArray &line : testing::readFile(logFile).split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() == 4)
            records.append({QFile::decodeName(f[0]), QFile::decodeName(f[1]), f[2].toInt(), QFile::decodeName(f[3])});
    }
    return records;
}
