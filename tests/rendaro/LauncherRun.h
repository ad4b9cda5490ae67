#pragma once

// Running the built launcher and the recording test program in temporary
// working folders.

#include <QCoreApplication>
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
    return qEnvironmentVariable("VELLOMAR_BIN_DIR") + QStringLiteral("/Rendaro.exe");
}

// A test helper built beside the test programs.
inline QString testHelper(const char *name)
{
    return QCoreApplication::applicationDirPath() + u'/' + QString::fromLatin1(name);
}

inline RunResult runLauncher(const QString &workingFolder, const QStringList &arguments, const QString &logFile = {})
{
    QProcess process;
    process.setProgram(launcherProgram());
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!logFile.isEmpty())
        environment.insert(QStringLiteral("RENDARO_TEST_LOG"), logFile);
    process.setProcessEnvironment(environment);
    process.start();
    RunResult result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("the launcher did not finish");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

// A copy of a helper program at path (folders made as needed), executable.
inline bool copyProgram(const char *helper, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    return QFile::copy(testHelper(helper), path)
           && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The lines of a day list file, CR LF after each, written 0600.
inline bool writeDayList(const QString &path, const QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString &line : lines)
        file.write(line.toUtf8() + "\r\n");
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
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
