#include "companions/common/WorkFolderLock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <algorithm>

namespace companion {

WorkFolderLock::WorkFolderLock(const QString &folder)
    : m_path(QDir(folder).filePath(QString::fromLatin1(kFileName)))
    , m_lock(m_path)
{
    m_lock.setStaleLockTime(int(kStaleAfter.count()));
}

bool WorkFolderLock::acquire(std::chrono::milliseconds wait)
{
    // QLockFile's own wait doubles its pause up to seconds; runs are short,
    // so look again at a steady pace and take the lock soon after it is let go.
    QDeadlineTimer deadline(wait);
    while (!m_lock.tryLock(0)) {
        if (m_lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return fail();
        QThread::msleep(ulong(std::min<qint64>(kPollInterval.count(), deadline.remainingTime())));
    }
    return true;
}

bool WorkFolderLock::fail()
{
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
