#include "companions/common/GatherDayLists.h"

#include "schedule/DayTable.h"
#include "schedule/Entry.h"
#include "schedule/EntryFile.h"
#include "schedule/TextFile.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <array>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace companion {

namespace {

struct Gathered {
    int minutes;
    qint64 number;
    QByteArray bytes; // the entry's four lines in their text form
};

// Reads at most one byte more than an entry file may hold, into a buffer
// shared by every read, so an oversized file is neither read whole nor
// mistaken for a short one.
class EntryReader
{
public:
    explicit EntryReader(const QString &folder)
        : m_folder(folder.endsWith(u'/') ? folder : folder + u'/')
        , m_buffer(schedule::kMaxEntryFileSize + 1)
    {
#ifdef Q_OS_UNIX
        m_folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    }
    ~EntryReader()
    {
#ifdef Q_OS_UNIX
        if (m_folderFd >= 0)
            ::close(m_folderFd);
#endif
    }
    EntryReader(const EntryReader &) = delete;
    EntryReader &operator=(const EntryReader &) = delete;

    // The entry file of that name in the folder; nothing, with *why set,
    // when it cannot be read.
    std::optional<QByteArrayView> read(const QString &name, QString *why)
    {
#ifdef Q_OS_UNIX
        // Plain system calls, by name within the open folder: QFile::open
        // asks for the file's status twice more and walks the whole path,
        // which over many entry files is a good part of the run.
        // O_NONBLOCK: a pipe put in place of an entry file cannot block.
        const int fd = m_folderFd < 0 ? -1
                                      : ::openat(m_folderFd, QFile::encodeName(name).constData(),
                                                 O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            *why = QString::fromLocal8Bit(std::strerror(errno));
            return std::nullopt;
        }
        qsizetype total = 0;
        while (total < qsizetype(m_buffer.size())) {
            const ssize_t n = ::read(fd, m_buffer.data() + total, m_buffer.size() - size_t(total));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                *why = QString::fromLocal8Bit(std::strerror(errno));
                ::close(fd);
                return std::nullopt;
            }
            if (n == 0)
                break;
            total += n;
        }
        ::close(fd);
        return QByteArrayView(m_buffer.data(), total);
#else
        QFile file(m_folder + name);
        // Unbuffered: the read goes straight into the buffer, to the end of
        // the file or one byte past the limit.
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            *why = file.errorString();
            return std::nullopt;
        }
        const qint64 n = file.read(m_buffer.data(), qint64(m_buffer.size()));
        if (n < 0) {
            *why = file.errorString();
            return std::nullopt;
        }
        return QByteArrayView(m_buffer.data(), n);
#endif
    }

private:
    QString m_folder;
    std::vector<char> m_buffer;
#ifdef Q_OS_UNIX
    int m_folderFd = -1;
#endif
};

// The entry's lines as a day list holds them. Most entry files are in that
// form already and are taken as they are; others (LF line ends, no end after
// the last line) are written anew. Lines decoded from 8-bit text always
// encode again.
QByteArray listText(QByteArrayView bytes, const schedule::Entry &entry)
{
    if (bytes.count('\n') == 4 && bytes.count("\r\n") == 4 && bytes.endsWith("\r\n"))
        return bytes.toByteArray();
    return *schedule::encodeLines(entry.lines());
}

} // namespace

Report gatherDayLists(const QString &folder)
{
    Report report;
    std::array<std::vector<Gathered>, schedule::kDayCount> byDay;
    const Qt::CaseSensitivity cs = schedule::fileNameCase();
    EntryReader reader(folder);
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';

    // Regular files only (the listing tells their type without a status
    // call): a folder is no entry, and a pipe would block the read.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        const auto entryName = schedule::parseEntryFileName(name, cs);
        if (!entryName)
            continue;
        QString why;
        std::optional<schedule::Entry> entry;
        const auto bytes = reader.read(name, &why);
        if (bytes)
            entry = schedule::parseEntryFile(*bytes, &why);
        const schedule::Day &day = schedule::day(entryName->dayIndex);
        if (entry && entry->dayName != day.name) {
            why = QStringLiteral("the day line \"%1\" is not %2").arg(entry->dayName, day.name);
            entry.reset();
        }
        if (!entry) {
            report.warn(QStringLiteral("skipped %1: %2").arg(name, why));
            continue;
        }
        byDay[size_t(day.index)].push_back({entry->minutes(), entryName->number, listText(*bytes, *entry)});
    }

    for (const schedule::Day &day : schedule::days()) {
        std::vector<Gathered> &entries = byDay[size_t(day.index)];
        std::sort(entries.begin(), entries.end(), [](const Gathered &a, const Gathered &b) {
            return a.minutes != b.minutes ? a.minutes < b.minutes : a.number < b.number;
        });
        qsizetype size = 0;
        for (const Gathered &g : entries)
            size += g.bytes.size();
        QByteArray list;
        list.reserve(size);
        for (const Gathered &g : entries)
            list.append(g.bytes);
        const schedule::WriteResult written = schedule::writeFileAtomically(prefix + QString(day.listFile), list);
        if (!written.ok)
            report.fail(QStringLiteral("cannot write %1: %2").arg(QString(day.listFile), written.error));
    }
    return report;
}

} // namespace companion
