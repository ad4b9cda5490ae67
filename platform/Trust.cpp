#include "platform/Trust.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include "platform/windows/WinTrust.h"
#endif

namespace platform {

std::optional<QString> untrustedBecause(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (info.st_uid != ::getuid() && info.st_uid != 0)
        return QCoreApplication::translate("platform", "it belongs to another user (uid %1)").arg(info.st_uid);
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return QCoreApplication::translate("platform", "other users may write to it (mode %1)")
            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return std::nullopt;
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

} // namespace platform
