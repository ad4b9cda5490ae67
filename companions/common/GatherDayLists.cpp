#include "companions/common/GatherDayLists.h"

#include "schedule/DayTable.h"
#include "schedule/Entry.h"
#include "schedule/EntryFile.h"
#include "schedule/TextFile.h"

#include "platform/SafeFile.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace companion {

namespace {

struct Gathered {
    int minutes;
    qint64 number;
    QByteArray bytes; // the entry's four lines in their text form
};

// Lists the folder's regular files and reads each entry file, at most one
// byte more than an entry file may hold, into a buffer shared by every read,
// so an oversized file is neither read whole nor mistaken for a short one.
class EntryReader
{
public:
    explicit EntryReader(const QString &folder) : m_files(folder), m_buffer(schedule::kMaxEntryFileSize + 1) {}

    // Calls visit with each regular file's name (a link counts as what it
    // leads to): a folder is no entry, and a pipe would block the read.
    vellomar::Result<> forEachFile(const std::function<void(QStringView name)> &visit)
    {
        return m_files.forEachFile(true, visit);
    }

    // The entry file of that name in the folder, or why it cannot be read.
    vellomar::Result<QByteArrayView> read(QStringView name)
    {
        const vellomar::Result<qsizetype> n = m_files.read(name, m_buffer.data(), qsizetype(m_buffer.size()));
        if (!n)
            return n.failure();
        return QByteArrayView(m_buffer.data(), *n);
    }

private:
    platform::FolderReader m_files;
    std::vector<char> m_buffer;
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

    const vellomar::Result<> listed = reader.forEachFile([&](QStringView name) {
        const auto entryName = schedule::parseEntryFileName(name, cs);
        if (!entryName)
            return;
        const vellomar::Result<QByteArrayView> bytes = reader.read(name);
        const schedule::Day &day = schedule::day(entryName->dayIndex);
        vellomar::Result<schedule::Entry> entry = bytes ? schedule::parseEntryFile(*bytes) : bytes.failure();
        if (entry && entry->dayName != day.name)
            entry = vellomar::Failure{QStringLiteral("the day line \"%1\" is not %2").arg(entry->dayName, day.name)};
        if (!entry) {
            report.warn(QStringLiteral("skipped %1: %2").arg(name, entry.reason()));
            return;
        }
        byDay[size_t(day.index)].push_back({entry->minutes(), entryName->number, listText(*bytes, *entry)});
    });
    // Without the listing every day list would come out empty: the old ones stay.
    if (!listed) {
        report.fail(QStringLiteral("cannot list the folder: %1").arg(listed.reason()));
        return report;
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
        const vellomar::Result<> written = platform::replaceFile(prefix + QString(day.listFile), list);
        if (!written)
            report.fail(QStringLiteral("cannot write %1: %2").arg(QString(day.listFile), written.reason()));
    }
    return report;
}

} // namespace companion
