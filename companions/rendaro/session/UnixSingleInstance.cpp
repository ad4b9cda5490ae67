// The lock's folder, private to the user; the working folder by device and inode.
#include "companions/rendaro/session/SingleInstance.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace rendaro {

namespace {

// A folder that only this user can reach and may write to: owned by them,
// no rights for others. A folder of the user's that others may enter, or
// that the user may not write to, would leave the lock to chance.
base::Result<void> ownPrivateFolder(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        const int code = errno;
        return base::Failure{QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(code))), code};
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0
        || ::access(QFile::encodeName(path).constData(), W_OK | X_OK) != 0)
        return base::Failure{QStringLiteral("%1 is not a private folder of this user").arg(path), 0, true};
    return {};
}

} // namespace

// Its device and inode, which no other name of it, nor a look-alike name,
// shares.
QByteArray SingleInstance::workingFolderKey()
{
    struct stat info = {};
    if (::stat(".", &info) == 0)
        return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino));
    return QDir::currentPath().toLower().toUtf8();
}

// $XDG_RUNTIME_DIR where it is the user's own and private, else a folder in
// the user's cache that nobody else could have made first (never a shared
// folder such as /tmp, where another user may make the name before this one
// and leave two launchers without a lock).
base::Result<QString> SingleInstance::lockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && ownPrivateFolder(runtime))
        return runtime;
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return base::Failure{QStringLiteral("neither a private XDG_RUNTIME_DIR nor a home folder for the lock"), 0,
                                 true};
        cache = QDir(home).filePath(QStringLiteral(".cache"));
    }
    const QString own = QDir(cache).filePath(QStringLiteral("vellomar"));
    QDir().mkpath(cache);
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    if (const base::Result<void> checked = ownPrivateFolder(own); !checked)
        return checked.failure();
    return own;
}

} // namespace rendaro
