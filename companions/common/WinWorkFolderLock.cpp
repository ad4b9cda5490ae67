// Windows keeps a file open by a living process from being removed, and
// has no folder where only a file's owner may remove it: QLockFile's lock
// file is taken over once the process that wrote it is gone.
#include "companions/common/WorkFolderLock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace companion {

namespace {

// A lock older than this is taken over even when its process still seems
// to live (a reused process id, another host on a shared folder).
constexpr std::chrono::milliseconds kStaleAfter{10 * 60'000};
// A lock file still empty after this was left by a run killed between
// creating it and writing its process id, which QLockFile would otherwise
// honour for kStaleAfter.
constexpr std::chrono::milliseconds kEmptyStaleAfter{2'000};

bool removeEmptyStaleLock(const QString &path)
{
    auto emptyAndOld = [&path] {
        const QFileInfo info(path);
        return info.exists() && info.size() == 0
               && qAbs(info.lastModified().msecsTo(QDateTime::currentDateTime())) > kEmptyStaleAfter.count();
    };
    if (!emptyAndOld())
        return false;
    // The guard QLockFile itself takes to remove a stale lock.
    QLockFile guard(path + QStringLiteral(".rmlock"));
    return guard.tryLock(0) && emptyAndOld() && QFile::remove(path);
}

} // namespace

WorkFolderLock::~WorkFolderLock() = default;

base::Result<WorkFolderLock::Attempt> WorkFolderLock::tryLock()
{
    if (!m_lock) {
        m_lock = std::make_unique<QLockFile>(m_path);
        m_lock->setStaleLockTime(int(kStaleAfter.count()));
    }
    if (m_lock->tryLock(0))
        return Attempt::Taken;
    switch (m_lock->error()) {
    case QLockFile::LockFailedError:
        if (removeEmptyStaleLock(m_path))
            return tryLock();
        return Attempt::Held;
    case QLockFile::PermissionError:
        return base::Failure{QStringLiteral("cannot create the lock file %1: permission denied").arg(nativePath()), 0,
                             true};
    default:
        return base::Failure{QStringLiteral("cannot create the lock file %1").arg(nativePath())};
    }
}

} // namespace companion
