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
    const bool drive =
        path.size() >= 3 && path[0].isLetter() && path[0].unicode() < 0x80 && path[1] == u':' && slash(path[2]);
    const bool unc = path.size() >= 3 && slash(path[0]) && slash(path[1]) && !slash(path[2]);
    return drive || unc;
#else
    return path.startsWith(u'/');
#endif
}

namespace {

// The kinds of character a program path may not hold, by Unicode category.
constexpr QChar::Category kRefusedCategories[] = {
    QChar::Other_Control,       // C0, DEL, C1
    QChar::Other_Format,        // U+200B, U+200F, U+2060, U+FEFF, U+061C, U+202E, U+2066 ...
    QChar::Separator_Line,      // U+2028
    QChar::Separator_Paragraph, // U+2029
    QChar::Other_Surrogate,     // half of a pair
};

// Calls f with each character of text (a pair of surrogates as one) and
// where it starts, until f returns true.
template <typename F>
void forEachCharacter(QStringView text, F f)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        const qsizetype start = i;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(text[i], text[i + 1]), ++i;
        if (f(c, start, i + 1 - start))
            return;
    }
}

// Printable ASCII, most of any path, is in none of those categories; only
// the rest is looked up.
bool isPrintableAscii(char32_t c)
{
    return c >= 0x20 && c < 0x7f;
}

} // namespace

bool isRefusedPathCharacter(char32_t c)
{
    if (isPrintableAscii(c))
        return false;
    return std::find(std::begin(kRefusedCategories), std::end(kRefusedCategories), QChar::category(c))
           != std::end(kRefusedCategories);
}

std::optional<char32_t> refusedPathCharacter(QStringView path)
{
    std::optional<char32_t> found;
    forEachCharacter(path, [&found](char32_t c, qsizetype, qsizetype) {
        if (!isPrintableAscii(c) && isRefusedPathCharacter(c))
            found = c;
        return found.has_value();
    });
    return found;
}

QString visibleText(QStringView text)
{
    QString out;
    forEachCharacter(text, [&out, text](char32_t c, qsizetype start, qsizetype length) {
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (!isRefusedPathCharacter(c))
            out += text.sliced(start, length);
        else if (c < 0x100)
            out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
        else if (c < 0x10000)
            out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\U%1").arg(uint(c), 8, 16, QLatin1Char('0'));
        return false;
    });
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
        if (!isAbsoluteProgramPath(line) || refusedPathCharacter(line))
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

const char *const kFieldNames[] = {"time line", "program path", "run style", "day line"};

// A line's bytes as the text of its field, or why they are not one.
base::Result<QString> fieldText(Field field, QByteArrayView bytes)
{
    const std::optional<QString> text = decodeExactLine(bytes);
    if (!text)
        return base::Failure{QStringLiteral("bad %1 \"%2\" (not UTF-8)")
                                 .arg(QLatin1String(kFieldNames[field]),
                                      visibleBytes(bytes.first(std::min<qsizetype>(bytes.size(), 80))))};
    if (const std::optional<QString> bad = badField(field, *text))
        return base::Failure{*bad};
    return *text;
}

} // namespace

base::Result<Entry> validateEntry(const QStringList &lines)
{
    if (lines.size() != 4)
        return base::Failure{QStringLiteral("%1 lines instead of 4").arg(lines.size())};
    for (Field field : {TimeField, PathField, StyleField, DayField})
        if (const std::optional<QString> bad = badField(field, lines[field]))
            return base::Failure{*bad};
    return Entry{lines[0], lines[1], lines[2], lines[3]};
}

base::Result<Entry> parseEntryFile(QByteArrayView bytes)
{
    if (bytes.size() > kMaxEntryFileSize)
        return base::Failure{QStringLiteral("larger than %1 bytes").arg(kMaxEntryFileSize)};
    if (bytes.contains('\0'))
        return base::Failure{QStringLiteral("contains a NUL byte")};
    // The first four lines, and how many there are.
    QByteArrayView lines[4];
    qsizetype count = 0;
    LineSplitter splitter(bytes);
    while (const std::optional<QByteArrayView> line = splitter.next()) {
        if (count < std::ssize(lines))
            lines[count] = *line;
        ++count;
    }
    QString fields[4];
    if (count != std::ssize(fields))
        return base::Failure{QStringLiteral("%1 lines instead of 4").arg(count)};
    for (Field field : {TimeField, PathField, StyleField, DayField}) {
        base::Result<QString> text = fieldText(field, lines[field]);
        if (!text)
            return text.failure();
        fields[field] = *text;
    }
    return Entry{fields[0], fields[1], fields[2], fields[3]};
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
    qsizetype held = 0;      // lines in the window
    qsizetype firstLine = 0; // the number of the window's first line, from 0
    qsizetype badFrom = -1;
    QString badWhy;
    auto bytesOf = [this, &window](int i) { return QByteArrayView(m_bytes).sliced(window[i].start, window[i].length); };
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
            const base::Result<QString> text = fieldText(Field(f), bytesOf(f));
            if (text)
                fields[f] = *text;
            else
                why = text.reason(), valid = false;
        }
        if (valid) {
            if (badFrom >= 0)
                addProblem(badFrom, badWhy);
            badFrom = -1;
            m_items.append({qint32(window[PathField].start), qint32(window[PathField].length),
                            qint16(*parseTimeLine(fields[TimeField])), qint8(runStyleByCode(fields[StyleField])->style),
                            qint8(dayByName(fields[DayField])->index)});
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
