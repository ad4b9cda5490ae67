#include "companions/rendaro/session/SingleInstance.h"
#include "base/Result.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDateTime>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rendaro {

namespace {

#ifdef Q_OS_UNIX
// A folder that only this user can reach and may write to: owned by them,
// no rights for others. A folder of the user's that others may enter, or
// that the user may not write to, would leave the lock to chance.
base::Result<void> ownPrivateFolder(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        const int code = errno;
        return base::Failure{QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(code))), code};
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0
        || ::access(QFile::encodeName(path).constData(), W_OK | X_OK) != 0)
        return base::Failure{QStringLiteral("%1 is not a private folder of this user").arg(path), 0, true};
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
// own and private, else a folder in the user's cache that nobody else could
// have made first (never a shared folder such as /tmp, where another user
// may make the name before this one and leave two launchers without a lock).
base::Result<QString> lockFolder()
{
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && ownPrivateFolder(runtime))
        return runtime;
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return base::Failure{QStringLiteral("neither a private XDG_RUNTIME_DIR nor a home folder for the lock"), 0, true};
        cache = QDir(home).filePath(QStringLiteral(".cache"));
    }
    const QString own = QDir(cache).filePath(QStringLiteral("vellomar"));
    QDir().mkpath(cache);
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    if (const base::Result<void> checked = ownPrivateFolder(own); !checked)
        return checked.failure();
    return own;
#else
    return QDir::tempPath(); // per user on Windows
#endif
}

// A lock file that names no holder (its holder died between making it and
// writing it, or it was cut short) and is older than this is taken over,
// once nobody holds it open.
constexpr qint64 kNamelessAfterMs = 5000;

} // namespace

SingleInstance::SingleInstance(const QString &program)
{
    const base::Result<QString> found = lockFolder();
    if (!found) {
        m_problem = found.reason();
        return;
    }
    const QString &folder = *found;
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
        const bool named = m_lock->getLockInfo(&m_holder, &host, &application) && m_holder > 0;
        // A holder of this process's own id is gone: its id was given again
        // (as Wine does soon), and this process holds nothing yet.
        const bool gone = named && m_holder == QCoreApplication::applicationPid();
        const QDateTime made = QFileInfo(m_lock->fileName()).lastModified();
        const bool old = made.isValid() && qAbs(made.msecsTo(QDateTime::currentDateTime())) > kNamelessAfterMs;
        // Qt takes the stale one away only while nobody holds it open.
        if ((gone || (!named && old)) && m_lock->removeStaleLockFile() && m_lock->tryLock(0)) {
            m_state = Alone;
            return;
        }
        if (m_lock->error() == QLockFile::LockFailedError) {
            m_state = Running;
            return;
        }
    }
    m_problem = QStringLiteral("cannot make the lock file %1").arg(QDir::toNativeSeparators(m_lock->fileName()));
}

} // namespace rendaro
