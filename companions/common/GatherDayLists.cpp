#include "companions/common/GatherDayLists.h"

#include "schedule/DayTable.h"
#include "schedule/Entry.h"
#include "schedule/EntryFile.h"
#include "schedule/TextFile.h"

#include "base/SafeFile.h"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace companion {

namespace {

// An entry taken, its lines in the text of all entries taken: no
// allocation of its own, and cheap to move while sorting.
struct Gathered {
    int minutes;
    qint64 number;
    qsizetype start; // where its four lines in their text form begin
    qsizetype size;
};

// Lists the folder's regular files and reads each entry file, at most one
// byte more than an entry file may hold, into a buffer shared by every read,
// so an oversized file is neither read whole nor mistaken for a short one.
class EntryReader
{
public:
    explicit EntryReader(const QString &folder)
        : m_files(folder)
        , m_buffer(schedule::kMaxEntryFileSize + 1)
    {
    }

    // Calls visit with each regular file's name (a link counts as what it
    // leads to): a folder is no entry, and a pipe would block the read.
    base::Result<> forEachFile(const std::function<void(QStringView name)> &visit)
    {
        return m_files.forEachFile(true, visit);
    }

    // The entry file of that name in the folder, or why it cannot be read.
    base::Result<QByteArrayView> read(QStringView name)
    {
        const base::Result<qsizetype> n = m_files.read(name, m_buffer.data(), qsizetype(m_buffer.size()));
        if (!n)
            return n.failure();
        return QByteArrayView(m_buffer.data(), *n);
    }

private:
    base::FolderReader m_files;
    std::vector<char> m_buffer;
};

// Whether the bytes of a valid entry are its four lines as a day list holds
// them, each with CR LF after it.
bool inListForm(QByteArrayView bytes)
{
    if (!bytes.endsWith("\r\n"))
        return false;
    int lines = 0;
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n', end + 1))
        if (end == 0 || bytes[end - 1] != '\r' || ++lines > 4)
            return false;
    return lines == 4;
}

// Appends the entry's lines as a day list holds them. Most entry files are
// in that form already and are taken as they are; others (LF line ends, no
// end after the last line) are written anew. Lines decoded from 8-bit text
// always encode again.
void appendListText(QByteArray &text, QByteArrayView bytes, const schedule::Entry &entry)
{
    if (inListForm(bytes))
        text.append(bytes);
    else
        text.append(*schedule::encodeLines(entry.lines()));
}

} // namespace

Report gatherDayLists(const QString &folder)
{
    Report report;
    std::array<std::vector<Gathered>, schedule::kDayCount> byDay;
    QByteArray taken; // the lines of every entry taken, in the listing's order
    const Qt::CaseSensitivity cs = schedule::fileNameCase();
    EntryReader reader(folder);
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';

    const base::Result<> listed = reader.forEachFile([&](QStringView name) {
        const auto entryName = schedule::parseEntryFileName(name, cs);
        if (!entryName)
            return;
        const base::Result<QByteArrayView> bytes = reader.read(name);
        const schedule::Day &day = schedule::day(entryName->dayIndex);
        base::Result<schedule::Entry> entry = bytes ? schedule::parseEntryFile(*bytes) : bytes.failure();
        if (entry && entry->dayName != day.name)
            entry = base::Failure{QStringLiteral("the day line \"%1\" is not %2").arg(entry->dayName, day.name)};
        if (!entry) {
            report.warn(QStringLiteral("skipped %1: %2").arg(name, entry.reason()));
            return;
        }
        const qsizetype start = taken.size();
        appendListText(taken, *bytes, *entry);
        byDay[size_t(day.index)].push_back({entry->minutes(), entryName->number, start, taken.size() - start});
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
            size += g.size;
        QByteArray list;
        list.reserve(size);
        for (const Gathered &g : entries)
            list.append(taken.constData() + g.start, g.size);
        const base::Result<> written = base::replaceFile(prefix + QString(day.listFile), list);
        if (!written)
            report.fail(QStringLiteral("cannot write %1: %2").arg(QString(day.listFile), written.reason()));
    }
    return report;
}

} // namespace companion
