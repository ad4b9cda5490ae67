#include "base/SafeFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace base {

namespace {

base::Failure failed(int error)
{
    return {systemErrorText(error), error};
}

// A write past the file size limit (RLIMIT_FSIZE) raises SIGXFSZ, which
// ends the process unless it is handled; handled, the write fails with
// EFBIG like any other failed write. A handler rather than SIG_IGN: the
// programs this process starts get the default back.
void onFileSizeLimit(int) {}

void surviveFileSizeLimit()
{
    static const bool installed = [] {
        struct sigaction action = {};
        action.sa_handler = onFileSizeLimit;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGXFSZ, &action, nullptr) == 0;
    }();
    Q_UNUSED(installed)
}

// The mode a new file gets from this process's umask, less write access for
// the group and others: schedule files start programs at logon, and the
// launcher refuses files that others may change.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask & ~mode_t(S_IWGRP | S_IWOTH);
}

// Writes all of bytes to fd; 0 or the errno of the failed write.
int writeAll(int fd, const char *bytes, qsizetype size)
{
    surviveFileSizeLimit();
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

} // namespace

base::Result<> replaceFile(const QString &path, const QByteArray &bytes, int mode)
{
    // A new file beside the old one, then rename(2) over the name. The rename
    // replaces whatever has that name, a link included, and never writes
    // through it: a link named like a schedule file cannot lead the write
    // into the file it points at. Unlike QSaveFile, which follows links.
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(errno);
    // Once the new file is closed, a failure only removes it; before, it is closed first.
    auto discard = [&](int error) {
        ::unlink(temporary.constData());
        return failed(error);
    };
    auto abandon = [&](int error) {
        ::close(fd);
        return discard(error);
    };
    if (::fchmod(fd, mode < 0 ? newFileMode() : mode_t(mode)) != 0)
        return abandon(errno);
    if (const int error = writeAll(fd, bytes.constData(), bytes.size()))
        return abandon(error);
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0)
        return discard(errno);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return discard(errno);
    return {};
}

OpenedFile openForReading(QFile &file, const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {OpenedFile::Missing, {}};
        return {OpenedFile::Refused, errno == ELOOP ? QStringLiteral("it is a symbolic link") : systemErrorText(errno)};
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {OpenedFile::Refused, QStringLiteral("it is not a regular file")};
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {OpenedFile::Refused, file.errorString()};
    }
    return {OpenedFile::Opened, {}};
}

OpenedFile openForAppending(QFile &file, const QString &path, int newMode)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode_t(newMode));
    if (fd < 0)
        return {OpenedFile::Refused, errno == ELOOP ? QStringLiteral("it is a symbolic link") : systemErrorText(errno)};
    struct stat info = {};
    QString why;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        why = QStringLiteral("it is not a regular file");
    else if (info.st_uid != ::geteuid())
        why = QStringLiteral("it belongs to another user (uid %1)").arg(info.st_uid);
    else if ((info.st_mode & (S_IWGRP | S_IWOTH)) && ::fchmod(fd, info.st_mode & 07755) != 0)
        why = systemErrorText(errno);
    if (why.isEmpty()
        && !file.open(fd, QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered,
                      QFileDevice::AutoCloseHandle))
        why = file.errorString();
    if (!why.isEmpty()) {
        ::close(fd);
        return {OpenedFile::Refused, why};
    }
    return {OpenedFile::Opened, {}};
}

base::Result<> appendBytes(QFile &file, const QByteArray &bytes)
{
    if (const int error = writeAll(file.handle(), bytes.constData(), bytes.size()))
        return failed(error);
    return {};
}

int openFileMode(const QFile &file)
{
    struct stat info = {};
    return ::fstat(file.handle(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

FolderReader::FolderReader(const QString &folder)
    : m_folder(folder)
    , m_folderFd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    , m_folderError(m_folderFd < 0 ? errno : 0)
{
}

FolderReader::~FolderReader()
{
    if (m_folderFd >= 0)
        ::close(m_folderFd);
}

const char *FolderReader::nativeName(QStringView name)
{
    // Into one buffer for every name: no allocation per file.
    QStringEncoder utf8(QStringEncoder::Utf8,
                        QStringEncoder::Flag::Stateless | QStringEncoder::Flag::ConvertInitialBom);
    m_nativeName.resize(utf8.requiredSpace(name.size()) + 1);
    char *out = m_nativeName.data();
    // ASCII, as entry file names are, byte for byte: the encoder costs more
    // than so short a name.
    qsizetype i = 0;
    for (; i < name.size() && name[i].unicode() < 0x80; ++i)
        out[i] = char(name[i].unicode());
    char *end = i == name.size() ? out + i : utf8.appendToBuffer(out, name);
    *end = '\0';
    return m_nativeName.constData();
}

base::Result<> FolderReader::forEachFile(bool followLinks, const std::function<void(QStringView name)> &visit)
{
    // Plain readdir(3) on the open folder: QDirIterator builds a full path
    // and a QFileInfo for every entry, which over many entry files is a
    // good part of a run. A duplicate of the folder's descriptor, for
    // closedir() closes the one it lists.
    const int fd = m_folderFd < 0 ? -1 : ::fcntl(m_folderFd, F_DUPFD_CLOEXEC, 0);
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        const int error = m_folderFd < 0 ? m_folderError : errno;
        if (fd >= 0)
            ::close(fd);
        return failed(error);
    }
    ::rewinddir(dir);
    // A name that begins with a byte-order mark keeps it.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString name(NAME_MAX + 1, Qt::Uninitialized);
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            error = errno;
            break;
        }
        const QByteArrayView bytes(entry->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || (followLinks && entry->d_type == DT_LNK)) {
            struct stat info = {};
            regular = ::fstatat(m_folderFd, entry->d_name, &info, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) == 0
                      && S_ISREG(info.st_mode);
        }
        if (!regular)
            continue;
        // ASCII, as entry file names are, byte for byte: the decoder costs
        // more than so short a name.
        QChar *out = name.data();
        qsizetype i = 0;
        for (; i < bytes.size() && uchar(bytes[i]) < 0x80; ++i)
            out[i] = QChar(uchar(bytes[i]));
        const QChar *end = i == bytes.size() ? out + i : utf8.appendToBuffer(out, bytes);
        visit(QStringView(name.constData(), end));
    }
    ::closedir(dir);
    if (error)
        return failed(error);
    return {};
}

base::Result<qsizetype> FolderReader::read(QStringView name, char *buffer, qsizetype size)
{
    // Plain system calls, by name within the open folder: QFile::open asks
    // for the file's status twice more and walks the whole path, which over
    // many entry files is a good part of a run.
    const int fd = m_folderFd < 0 ? -1 : ::openat(m_folderFd, nativeName(name), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return failed(m_folderFd < 0 ? m_folderError : errno);
    // One read: a regular file's read gives fewer bytes than asked only at
    // the file's end, so a short read is the whole file and a second read
    // would only give nothing. A full read may leave more behind, which a
    // caller asking for a byte more than it takes knows as too large.
    ssize_t n = 0;
    do
        n = ::read(fd, buffer, size_t(size));
    while (n < 0 && errno == EINTR);
    const int error = n < 0 ? errno : 0;
    ::close(fd);
    if (n < 0)
        return failed(error);
    return qsizetype(n);
}

PrivateNewFiles::PrivateNewFiles()
    : m_previous(::umask(0))
{
    ::umask(mode_t(m_previous) | S_IWGRP | S_IWOTH);
}

PrivateNewFiles::~PrivateNewFiles()
{
    ::umask(mode_t(m_previous));
}

} // namespace base
