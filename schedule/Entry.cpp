#include "schedule/Entry.h"

#include "schedule/DayTable.h"
#include "schedule/TextFile.h"
#include "schedule/Time24.h"

#include <algorithm>

namespace schedule {

int Entry::minutes() const
{
    return parseTimeLine(time).value_or(0);
}

RunStyle Entry::style() const
{
    const RunStyleName *name = runStyleByCode(styleCode);
    return name ? name->style : RunStyle::Normal;
}

bool isAbsoluteProgramPath(QStringView path)
{
    if (path.contains(QChar(0)))
        return false;
#ifdef Q_OS_WIN
    auto slash = [](QChar c) { return c == u'\\' || c == u'/'; };
    const bool drive = path.size() >= 3 && path[0].isLetter() && path[0].unicode() < 0x80
        && path[1] == u':' && slash(path[2]);
    const bool unc = path.size() >= 3 && slash(path[0]) && slash(path[1]) && !slash(path[2]);
    return drive || unc;
#else
    return path.startsWith(u'/');
#endif
}

bool isRefusedPathCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0x2028 || u == 0x2029 || (u >= 0x202a && u <= 0x202e)
           || (u >= 0x2066 && u <= 0x2069);
}

QString visibleText(QStringView text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (isRefusedPathCharacter(c))
            out += c.unicode() < 0x100 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                                       : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

namespace {

enum Field { TimeField, PathField, StyleField, DayField };

// Why a line cannot stand at its place in an entry; nothing when it can.
std::optional<QString> badField(Field field, const QString &line)
{
    switch (field) {
    case TimeField:
        if (!parseTimeLine(line))
            return QStringLiteral("bad time line \"%1\"").arg(visibleText(line.left(40)));
        break;
    case PathField:
        if (!isAbsoluteProgramPath(line) || std::any_of(line.cbegin(), line.cend(), isRefusedPathCharacter))
            return QStringLiteral("bad program path \"%1\"").arg(visibleText(line.left(80)));
        break;
    case StyleField:
        if (!runStyleByCode(line))
            return QStringLiteral("bad run style \"%1\"").arg(visibleText(line.left(40)));
        break;
    case DayField:
        if (!dayByName(line))
            return QStringLiteral("bad day line \"%1\"").arg(visibleText(line.left(40)));
        break;
    }
    return std::nullopt;
}

} // namespace

vellomar::Result<Entry> validateEntry(const QStringList &lines)
{
    if (lines.size() != 4)
        return vellomar::Failure{QStringLiteral("%1 lines instead of 4").arg(lines.size())};
    for (Field field : {TimeField, PathField, StyleField, DayField})
        if (const std::optional<QString> bad = badField(field, lines[field]))
            return vellomar::Failure{*bad};
    return Entry{lines[0], lines[1], lines[2], lines[3]};
}

vellomar::Result<Entry> parseEntryFile(QByteArrayView bytes)
{
    if (bytes.size() > kMaxEntryFileSize)
        return vellomar::Failure{QStringLiteral("larger than %1 bytes").arg(kMaxEntryFileSize)};
    if (bytes.contains('\0'))
        return vellomar::Failure{QStringLiteral("contains a NUL byte")};
    return validateEntry(decodeLines(bytes));
}

DayList::DayList(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    // A window of up to four lines slides over the file: four that make an
    // entry are taken together, otherwise the first line is skipped.
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    LineSplitter splitter(m_bytes);
    Span window[4];
    qsizetype held = 0;     // lines in the window
    qsizetype firstLine = 0; // the number of the window's first line, from 0
    qsizetype badFrom = -1;
    QString badWhy;
    auto decoded = [this, &window](int i) {
        return decodeLine(QByteArrayView(m_bytes).sliced(window[i].start, window[i].length));
    };
    for (;;) {
        for (; held < 4; ++held) {
            const std::optional<QByteArrayView> line = splitter.next();
            if (!line)
                break;
            window[held] = {splitter.lineStart(), line->size()};
        }
        if (held == 0)
            break;
        QString why = QStringLiteral("incomplete entry at the end");
        bool valid = held == 4;
        QString fields[4];
        for (int f = 0; valid && f < 4; ++f) {
            fields[f] = decoded(f);
            if (const std::optional<QString> bad = badField(Field(f), fields[f])) {
                why = *bad;
                valid = false;
            }
        }
        if (valid) {
            if (badFrom >= 0)
                addProblem(badFrom, badWhy);
            badFrom = -1;
            m_items.append({qint32(window[PathField].start), qint32(window[PathField].length),
                            qint16(*parseTimeLine(fields[TimeField])),
                            qint8(runStyleByCode(fields[StyleField])->style), qint8(dayByName(fields[DayField])->index)});
            firstLine += 4;
            held = 0;
            continue;
        }
        if (badFrom < 0) {
            badFrom = firstLine;
            badWhy = why;
        }
        std::copy(window + 1, window + held, window);
        --held;
        ++firstLine;
    }
    if (badFrom >= 0)
        addProblem(badFrom, badWhy);
}

void DayList::addProblem(qsizetype line, const QString &why)
{
    if (m_problems.size() < kKeptProblems)
        m_problems.append(QStringLiteral("line %1: %2").arg(line + 1).arg(why));
    ++m_problemCount;
}

Entry DayList::entry(qsizetype i) const
{
    const Item &item = m_items[i];
    return {timeLine(QStringLiteral("%1").arg(item.minutes / 60, 2, 10, QLatin1Char('0')),
                     QStringLiteral("%1").arg(item.minutes % 60, 2, 10, QLatin1Char('0'))),
            decodeLine(QByteArrayView(m_bytes).sliced(item.pathStart, item.pathLength)),
            QString(runStyleName(RunStyle(item.style)).code), QString(day(item.day).name)};
}

void DayList::sortByTime()
{
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const Item &a, const Item &b) { return a.minutes < b.minutes; });
}

} // namespace schedule
