#include "companions/common/WorkFolderLock.h"

#include <QDir>

namespace companion {

WorkFolderLock::WorkFolderLock(const QString &folder)
    : m_path(QDir(folder).filePath(QString::fromLatin1(kFileName)))
    , m_lock(m_path)
{
    m_lock.setStaleLockTime(int(kStaleAfter.count()));
}

bool WorkFolderLock::acquire(std::chrono::milliseconds wait)
{
    if (m_lock.tryLock(int(wait.count())))
        return true;
    switch (m_lock.error()) {
    case QLockFile::LockFailedError:
        m_error = QStringLiteral("another program still works on this folder (lock file %1)")
                      .arg(QDir::toNativeSeparators(m_path));
        break;
    case QLockFile::PermissionError:
        m_error = QStringLiteral("cannot create the lock file %1: permission denied")
                      .arg(QDir::toNativeSeparators(m_path));
        break;
    default:
        m_error = QStringLiteral("cannot create the lock file %1").arg(QDir::toNativeSeparators(m_path));
        break;
    }
    return false;
}

} // namespace companion
