#include "platform/SingleInstance.h"
#include "platform/Result.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

#ifdef Q_OS_UNIX
// A folder that only this user can reach: owned by them, no rights for others.
vellomar::Result<void> ownPrivateFolder(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        const int code = errno;
        return vellomar::Failure{QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(code))), code};
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0)
        return vellomar::Failure{QStringLiteral("%1 is not a private folder of this user").arg(path), 0, true};
    return {};
}
#endif

// What tells the working folder apart from every other: on Unix its device
// and inode, which no other name of it, nor a look-alike name, shares.
QByteArray workingFolderKey()
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(".", &info) == 0)
        return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
#endif
    return QDir::currentPath().toLower().toUtf8();
}

// The folder the locks live in: $XDG_RUNTIME_DIR where it is the user's
// own, else a folder of the user's own in the temporary folder.
vellomar::Result<QString> lockFolder()
{
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && ownPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/vellomar-%1").arg(::geteuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    if (const vellomar::Result<void> checked = ownPrivateFolder(own); !checked)
        return checked.failure();
    return own;
#else
    return QDir::tempPath(); // per user on Windows
#endif
}

} // namespace

SingleInstance::SingleInstance(const QString &program)
{
    const vellomar::Result<QString> lockFolder = platform::lockFolder();
    if (!lockFolder) {
        m_problem = lockFolder.reason();
        return;
    }
    const QString &folder = *lockFolder;
    const QByteArray digest = QCryptographicHash::hash(workingFolderKey(), QCryptographicHash::Sha256).toHex().left(16);
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(program + u'-' + QString::fromLatin1(digest) + ".lock"));
    // Held for as long as the program runs, however long: never stale by age,
    // only when its holder is gone.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_state = Alone;
        return;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        QString host, application;
        m_lock->getLockInfo(&m_holder, &host, &application);
        m_state = Running;
        return;
    }
    m_problem = QStringLiteral("cannot make the lock file %1").arg(QDir::toNativeSeparators(m_lock->fileName()));
}

} // namespace platform
