#include "RunLog.h"

#include "schedule/EntryFile.h"

#include <QDir>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rendaro {

namespace {

#ifdef Q_OS_WIN
constexpr const char *kLineEnd = "\r\n";
#else
constexpr const char *kLineEnd = "\n";
#endif

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(2 * RunLog::kBound);
}

} // namespace

RunLog::RunLog(const QString &folder)
    : m_path(QDir(folder).filePath(QString::fromLatin1(kFileName)))
{
    open();
}

bool RunLog::open()
{
    m_file.close();
#ifdef Q_OS_UNIX
    // Never through a link, never into a pipe; only a regular file of this
    // user's, which others lose any right to write.
    const int fd = ::open(QFile::encodeName(m_path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()
        || ((info.st_mode & (S_IWGRP | S_IWOTH)) && ::fchmod(fd, info.st_mode & 0755) != 0)) {
        ::close(fd);
        return false;
    }
    return m_file.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                       QFileDevice::AutoCloseHandle);
#else
    m_file.setFileName(m_path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
#endif
}

void RunLog::write(const QDateTime &when, const QString &text)
{
    if (!m_file.isOpen())
        return;
    const QByteArray line = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")).toLocal8Bit() + text.toLocal8Bit()
                            + kLineEnd;
    if (m_file.write(line) != line.size()) {
        m_file.close();
        return;
    }
    if (m_file.size() > kBound)
        dropOlderHalf();
}

void RunLog::dropOlderHalf()
{
    // Kept from the first whole line of the newer half, and written as a new
    // file that replaces the log in one step: a reader sees the old log or
    // the shorter one, never a cut line.
    const QByteArray all = readAll(m_path);
    const qsizetype cut = all.indexOf('\n', all.size() / 2);
    if (cut < 0 || !schedule::writeFileAtomically(m_path, all.mid(cut + 1)).ok) {
        m_file.close();
        return;
    }
    open();
}

QByteArray RunLog::tail(const QString &folder, int lines)
{
    const QByteArray all = readAll(QDir(folder).filePath(QString::fromLatin1(kFileName)));
    qsizetype from = all.size();
    for (int seen = 0; from > 0; --from)
        if (all[from - 1] == '\n' && from < all.size() && ++seen == lines)
            break;
    return all.mid(from);
}

} // namespace rendaro
