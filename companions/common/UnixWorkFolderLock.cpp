// The lock is flock() on a file that stays in the folder. The system lets go
// of it when its holder ends, however it ends, so there is no stale lock to
// judge or remove. The file is never removed or replaced either: in a folder
// that several users share, where only a file's owner may remove or replace
// it (the sticky bit), another user's run opens the same file and locks it
// in turn. So the file is readable by everyone and writable by its owner
// only: it holds nothing, and gives nobody a way to write the schedule.
#include "companions/common/WorkFolderLock.h"

#include "base/SafeFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace companion {

namespace {

constexpr mode_t kLockMode = 0644;

} // namespace

WorkFolderLock::~WorkFolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

base::Result<WorkFolderLock::Attempt> WorkFolderLock::tryLock()
{
    if (m_fd < 0) {
        const QByteArray name = QFile::encodeName(m_path);
        // Only a regular file is a lock: anything else of that name (a link
        // into a file elsewhere, a pipe that blocks an open for good) is
        // removed, the name itself and never what it points at.
        struct stat info = {};
        if (::lstat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode) && ::unlink(name.constData()) != 0)
            return base::Failure{QStringLiteral("cannot remove %1, which is not a lock file").arg(nativePath())};
        const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | flags, kLockMode);
        const int createError = errno;
        if (m_fd < 0 && createError == EACCES) // another user's lock: reading is enough to lock it
            m_fd = ::open(name.constData(), O_RDONLY | flags);
        if (m_fd < 0) {
            if (createError == EACCES && errno != ENOENT) // there, and neither writable nor readable
                return base::Failure{
                    QStringLiteral("cannot open the lock file %1 of another user: permission denied").arg(nativePath()),
                    EACCES, true};
            return base::Failure{QStringLiteral("cannot create the lock file %1: %2")
                                     .arg(nativePath(), createError == EACCES ? QStringLiteral("permission denied")
                                                                              : base::systemErrorText(createError)),
                                 createError, createError == EACCES};
        }
        if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
            return base::Failure{QStringLiteral("%1 is not a lock file").arg(nativePath())};
        // Whatever the umask made of it: others must be able to open it.
        if (info.st_uid == ::geteuid() && (info.st_mode & 07777) != kLockMode)
            ::fchmod(m_fd, kLockMode);
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
        return Attempt::Taken;
    if (errno == EWOULDBLOCK || errno == EINTR)
        return Attempt::Held;
    return base::Failure{QStringLiteral("cannot lock %1: %2").arg(nativePath(), base::systemErrorText(errno)), errno};
}

} // namespace companion
