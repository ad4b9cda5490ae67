#include "base/SafeFile.h"
#include "platform/Trust.h"
#include "platform/TrustSystem.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Whether this user or root owns it.
bool ownOrRoots(const struct stat &info)
{
    return info.st_uid == ::getuid() || info.st_uid == 0;
}

base::Result<> statusTrusted(const struct stat &info)
{
    if (!ownOrRoots(info))
        return trust::refused(QStringLiteral("it belongs to another user (uid %1)").arg(info.st_uid));
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return trust::refused(
            QStringLiteral("other users may write to it (mode %1)").arg(info.st_mode & 07777, 4, 8, QLatin1Char('0')));
    return {};
}

base::Failure systemError()
{
    return base::Failure{base::systemErrorText(errno), errno, true};
}

} // namespace

namespace trust {

// A folder of root's with the sticky bit (such as /tmp) is safe for the
// entries of this user and root in it: others may add their own, but not
// rename or remove these.
base::Result<> folderTrusted(const QString &folder, bool)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return systemError();
    if (info.st_uid == 0 && (info.st_mode & S_ISVTX))
        return {};
    return statusTrusted(info);
}

// Resolved link by link as the system does; a link on the way that belongs
// to another user (not root) is refused: they may point it at any file at
// any moment.
base::Result<QString> resolveTrusted(const QString &path)
{
    QStringList pending = QDir::cleanPath(QDir::current().absoluteFilePath(path)).split(u'/', Qt::SkipEmptyParts);
    QString resolved;
    int links = 0;
    while (!pending.isEmpty()) {
        const QString part = pending.takeFirst();
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            resolved.truncate(qMax(0, resolved.lastIndexOf(u'/')));
            continue;
        }
        const QString next = resolved + u'/' + part;
        const QByteArray name = QFile::encodeName(next);
        struct stat info = {};
        if (::lstat(name.constData(), &info) != 0)
            return errno == ENOENT ? refused(QStringLiteral("there is no such file")) : systemError();
        if (!S_ISLNK(info.st_mode)) {
            resolved = next;
            continue;
        }
        if (!ownOrRoots(info)) // its owner may point it at any program at any moment
            return refused(
                QStringLiteral("the link %1 on its path belongs to another user (uid %2)").arg(next).arg(info.st_uid));
        if (++links > 40)
            return refused(QStringLiteral("its path has too many links"));
        QByteArray target(qsizetype(info.st_size) + 256, '\0');
        const ssize_t length = ::readlink(name.constData(), target.data(), size_t(target.size()));
        if (length < 0 || length >= target.size())
            return systemError();
        const QString to = QFile::decodeName(target.left(length));
        pending = to.split(u'/', Qt::SkipEmptyParts) + pending;
        if (to.startsWith(u'/'))
            resolved.clear();
    }
    return resolved.isEmpty() ? QStringLiteral("/") : resolved;
}

} // namespace trust

base::Result<> checkTrust(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return systemError();
    return statusTrusted(info);
}

base::Result<> checkTrust(const QFile &file)
{
    struct stat info = {};
    if (::fstat(file.handle(), &info) != 0)
        return systemError();
    return statusTrusted(info);
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat first = {}, second = {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
           && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

} // namespace platform
