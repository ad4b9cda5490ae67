#include "companions/common/WorkFolderLock.h"

#include "platform/SafeFile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    for (;;) {
        if (!removeForeignFile())
            return false;
        // QLockFile makes its file as the umask says; like every file here,
        // the lock is not for others to write.
        const bool locked = [this] {
            const platform::PrivateNewFiles privateFiles;
            return m_lock.tryLock(0);
        }();
        if (locked)
            return true;
        if (m_lock.error() != QLockFile::LockFailedError)
            return fail();
        if (removeEmptyStaleLock())
            continue;
        if (deadline.hasExpired())
            return fail();
        QThread::msleep(ulong(std::min<qint64>(kPollInterval.count(), deadline.remainingTime())));
    }
}

bool WorkFolderLock::removeForeignFile()
{
    // QLockFile reads an existing lock to see whose it is: through a link
    // into the file it points at, or blocking for good on a pipe. Only a
    // regular file is a lock; anything else of that name is removed, the
    // name itself and never what it points at.
    const QFileInfo info(m_path);
    const bool foreign = info.isSymLink() || (info.exists() && !info.isFile());
    if (!foreign || QFile::remove(m_path))
        return true;
    m_error = QStringLiteral("cannot remove %1, which is not a lock file").arg(QDir::toNativeSeparators(m_path));
    return false;
}

bool WorkFolderLock::removeEmptyStaleLock()
{
    auto emptyAndOld = [this] {
        const QFileInfo info(m_path);
        if (!info.exists() || info.size() != 0)
            return false;
        const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
        return qAbs(age) > kEmptyStaleAfter.count();
    };
    if (!emptyAndOld())
        return false;
    // The guard QLockFile itself takes to remove a stale lock: of two runs
    // that both found the empty file, the second must not remove the lock
    // the first has just taken in its place.
    QLockFile guard(m_path + QStringLiteral(".rmlock"));
    if (!guard.tryLock(0))
        return false;
    return emptyAndOld() && QFile::remove(m_path);
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
