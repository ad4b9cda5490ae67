#pragma once

// Root passes every permission check, and CI runs the suite as root. The
// programs whose permission behaviour a test checks therefore run as an
// ordinary account: this process's own when it is not root, else nobody
// (65534), through setpriv. Their files are handed to that account.

#include "support/Run.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace testing {

inline bool isRoot()
{
    return ::geteuid() == 0;
}

inline uid_t ordinaryUid()
{
    return isRoot() ? 65534 : ::geteuid();
}

// Gives path, and everything under a folder, to the ordinary account.
inline bool giveToOrdinary(const QString &path)
{
    if (!isRoot())
        return true;
    bool ok = ::lchown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        ok = ::lchown(QFile::encodeName(it.next()).constData(), 65534, 65534) == 0 && ok;
    return ok;
}

// A copy of a built program that the ordinary account may run: the build
// tree may lie where that account cannot reach.
inline QString ordinaryProgram(const QString &name)
{
    static QTemporaryDir bin;
    const QString copy = bin.filePath(name);
    if (!QFileInfo::exists(copy)) {
        ::chmod(QFile::encodeName(bin.path()).constData(), 0755);
        QFile::copy(builtProgram(name), copy);
    }
    return copy;
}

// Runs a built program as the ordinary account; a run that could not drop
// root's rights fails the test rather than pass blind.
inline Finished runAsOrdinary(const QString &name, const QStringList &arguments, const QString &folder,
                              const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    if (!isRoot())
        return run(builtProgram(name), arguments, folder, environment, 60000);
    const QStringList drop{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), QStringLiteral("--")};
    Finished f = run(QStringLiteral("setpriv"), drop + QStringList{ordinaryProgram(name)} + arguments, folder,
                     environment, 60000);
    if (!f.ran || f.exitCode == 127 || f.err.startsWith("setpriv:"))
        qFatal("cannot run %s as an ordinary user: %s", qPrintable(name), f.err.constData());
    return f;
}

} // namespace testing
