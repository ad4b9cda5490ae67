#include "schedule/EntryFile.h"

#include "schedule/TextFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace schedule {

QString entryFileName(const Day &day, qint64 number)
{
    return QString(day.code) + QString::number(number) + QStringLiteral(".dat");
}

Qt::CaseSensitivity fileNameCase()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

std::optional<EntryFileName> parseEntryFileName(QStringView name, Qt::CaseSensitivity cs)
{
    if (name.size() < 8 || !name.endsWith(u".dat", cs))
        return std::nullopt;
    const Day *d = nullptr;
    for (const Day &candidate : days())
        if (name.first(3).compare(candidate.code, cs) == 0)
            d = &candidate;
    if (!d)
        return std::nullopt;
    const QStringView digits = name.sliced(3, name.size() - 7);
    if (digits.isEmpty() || digits.size() > 18 || digits[0] == u'0')
        return std::nullopt;
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return EntryFileName{d->index, digits.toLongLong()};
}

bool isDayListFileName(QStringView name, Qt::CaseSensitivity cs)
{
    for (const Day &d : days())
        if (name.compare(d.listFile, cs) == 0)
            return true;
    return false;
}

#ifdef Q_OS_UNIX

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
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

} // namespace

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // A new file beside the old one, then rename(2) over the name. The rename
    // replaces whatever has that name, a link included, and never writes
    // through it: a link named like a schedule file cannot lead the write
    // into the file it points at. Unlike QSaveFile, which follows links.
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return {false, systemError(errno)};
    // Once the new file is closed, a failure only removes it; before, it is closed first.
    auto discard = [&](int error) -> WriteResult {
        ::unlink(temporary.constData());
        return {false, systemError(error)};
    };
    auto abandon = [&](int error) {
        ::close(fd);
        return discard(error);
    };
    if (::fchmod(fd, newFileMode()) != 0)
        return abandon(errno);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return abandon(n < 0 ? errno : ENOSPC);
        done += n;
    }
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0)
        return discard(errno);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return discard(errno);
    return {};
}

#else

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // Unbuffered, and written in a loop: with a buffer, a short final write
    // (disk full) is lost in commit(), which then reports success for a
    // cut-off file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return {false, why};
        }
        done += n;
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {};
}

#endif

WriteResult writeEntryFile(const QString &path, const Entry &entry)
{
    QString bad;
    const auto bytes = encodeLines(entry.lines(), &bad);
    if (!bytes)
        return {false, QCoreApplication::translate("schedule",
                           "the character \"%1\" cannot be written to an 8-bit schedule file")
                           .arg(bad)};
    return writeFileAtomically(path, *bytes);
}

} // namespace schedule
