#include "platform/Trust.h"

#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include "platform/windows/WinTrust.h"
#endif

namespace platform {

namespace {

#ifdef Q_OS_UNIX
std::optional<QString> untrustedStatus(const struct stat &info)
{
    if (info.st_uid != ::getuid() && info.st_uid != 0)
        return QStringLiteral("it belongs to another user (uid %1)").arg(info.st_uid);
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("other users may write to it (mode %1)").arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return std::nullopt;
}

QString systemError()
{
    return systemErrorText(errno);
}

// Why a folder that holds a program must not be trusted. A folder of root's
// with the sticky bit (such as /tmp) is safe for the entries of this user and
// root in it: others may add their own, but not rename or remove these.
std::optional<QString> untrustedFolder(const QString &folder, bool)
{
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return systemError();
    if (info.st_uid == 0 && (info.st_mode & S_ISVTX))
        return std::nullopt;
    return untrustedStatus(info);
}
#elif defined(Q_OS_WIN)
// The program's own folder as untrustedBecause() judges it; a folder further
// up by who may rename or remove what it holds (every user may add folders
// to a drive's root).
std::optional<QString> untrustedFolder(const QString &folder, bool own)
{
    if (own)
        return untrustedBecause(folder);
    const auto why = winplat::untrustedAncestorBecause(QDir::toNativeSeparators(folder).toStdWString());
    return why ? std::optional<QString>(QString::fromStdWString(*why)) : std::nullopt;
}
#else
std::optional<QString> untrustedFolder(const QString &, bool)
{
    return std::nullopt;
}
#endif

// Why one of the folders that hold the file at realPath, from its own up to
// the root, must not be trusted, as OpenSSH's StrictModes walks them: whoever
// may rename any of them may put another program in its place.
std::optional<QString> untrustedFolders(const QString &realPath)
{
    QString folder = QFileInfo(realPath).absolutePath();
    for (bool own = true;; own = false) {
        if (const auto why = untrustedFolder(folder, own))
            return QStringLiteral("its folder %1 is not safe: %2").arg(QDir::toNativeSeparators(folder), *why);
        if (QDir(folder).isRoot())
            return std::nullopt;
        folder = QFileInfo(folder).absolutePath();
    }
}

#ifdef Q_OS_UNIX
// The real path of path, resolved link by link as the system does; or, denied,
// why it must not be trusted: a link on the way belongs to another user (not
// root), who may point it at any file at any moment.
vellomar::Result<QString> resolveTrusted(const QString &path)
{
    const auto refused = [](const QString &why) { return vellomar::Failure{why, 0, true}; };
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
        struct stat info {};
        if (::lstat(name.constData(), &info) != 0)
            return errno == ENOENT ? refused(QStringLiteral("there is no such file")) : refused(systemError());
        if (!S_ISLNK(info.st_mode)) {
            resolved = next;
            continue;
        }
        if (info.st_uid != ::getuid() && info.st_uid != 0)
            return refused(QStringLiteral("the link %1 on its path belongs to another user (uid %2)").arg(next).arg(info.st_uid));
        if (++links > 40)
            return refused(QStringLiteral("its path has too many links"));
        QByteArray target(qsizetype(info.st_size) + 256, '\0');
        const ssize_t length = ::readlink(name.constData(), target.data(), size_t(target.size()));
        if (length < 0 || length >= target.size())
            return refused(systemError());
        const QString to = QFile::decodeName(target.left(length));
        pending = to.split(u'/', Qt::SkipEmptyParts) + pending;
        if (to.startsWith(u'/'))
            resolved.clear();
    }
    return resolved.isEmpty() ? QStringLiteral("/") : resolved;
}
#endif

} // namespace

std::optional<QString> untrustedBecause(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return systemError();
    return untrustedStatus(info);
#elif defined(Q_OS_WIN)
    const std::optional<std::wstring> why =
        winplat::untrustedBecause(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString());
    if (!why)
        return std::nullopt;
    return QString::fromStdWString(*why);
#else
    Q_UNUSED(path)
    return std::nullopt;
#endif
}

std::optional<QString> untrustedOpenFile(const QFile &file)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::fstat(file.handle(), &info) != 0)
        return systemError();
    return untrustedStatus(info);
#else
    return untrustedBecause(file.fileName());
#endif
}

bool sameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_UNIX
    struct stat first {}, second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0
           && ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
#else
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}

vellomar::Result<QString> startableProgram(const QString &path, const QStringList &ownPrograms)
{
    const auto refused = [](const QString &why) { return vellomar::Failure{why, 0, true}; };
    // Links resolved: what is checked is the file itself, and the caller
    // starts that very path, not a link that could be pointed elsewhere.
#ifdef Q_OS_UNIX
    const vellomar::Result<QString> resolved = resolveTrusted(path);
    if (!resolved)
        return resolved.failure();
    const QString real = *resolved;
#else
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        return refused(QStringLiteral("there is no such file"));
#endif
    const QDir ownFolder(QCoreApplication::applicationDirPath());
    for (const QString &own : ownPrograms)
        if (sameFile(real, ownFolder.filePath(own)))
            return refused(
                QStringLiteral("it is %1, one of Vellomar's own programs, which the launcher never starts").arg(own));
    if (const auto why = untrustedBecause(real))
        return refused(QStringLiteral("the program file is not safe: %1").arg(*why));
    if (const auto why = untrustedFolders(real))
        return refused(*why);
    return real;
}

} // namespace platform
