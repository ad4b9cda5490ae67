#include "platform/Trust.h"

#include "platform/TrustSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

// Why one of the folders that hold the file at realPath, from its own up to
// the root, must not be trusted, as OpenSSH's StrictModes walks them: whoever
// may rename any of them may put another program in its place.
base::Result<> foldersTrusted(const QString &realPath)
{
    QString folder = QFileInfo(realPath).absolutePath();
    for (bool own = true;; own = false) {
        if (const base::Result<> safe = trust::folderTrusted(folder, own); !safe)
            return trust::refused(
                QStringLiteral("its folder %1 is not safe: %2").arg(QDir::toNativeSeparators(folder), safe.reason()));
        if (QDir(folder).isRoot())
            return {};
        folder = QFileInfo(folder).absolutePath();
    }
}

} // namespace

base::Result<QString> startableProgram(const QString &path, const QStringList &ownPrograms)
{
    // Links resolved: what is checked is the file itself, and the caller
    // starts that very path, not a link that could be pointed elsewhere.
    const base::Result<QString> resolved = trust::resolveTrusted(path);
    if (!resolved)
        return resolved.failure();
    const QString real = *resolved;
    const QDir ownFolder(QCoreApplication::applicationDirPath());
    for (const QString &own : ownPrograms)
        if (sameFile(real, ownFolder.filePath(own)))
            return trust::refused(
                QStringLiteral("it is %1, one of Vellomar's own programs, which the launcher never starts").arg(own));
    if (const base::Result<> safe = checkTrust(real); !safe)
        return trust::refused(QStringLiteral("the program file is not safe: %1").arg(safe.reason()));
    if (const base::Result<> safe = foldersTrusted(real); !safe)
        return safe.failure();
    return real;
}

} // namespace platform
