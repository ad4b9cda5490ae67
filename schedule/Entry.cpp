#include "schedule/Entry.h"

#include "schedule/DayTable.h"
#include "schedule/TextFile.h"
#include "schedule/Time24.h"

namespace schedule {

int Entry::minutes() const
{
    return parseTimeLine(time).value_or(0);
}

RunStyle Entry::style() const
{
    return parseRunStyleCode(styleCode).value_or(RunStyle::Normal);
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

static bool fail(QString *why, const QString &text)
{
    if (why)
        *why = text;
    return false;
}

std::optional<Entry> validateEntry(const QStringList &lines, QString *why)
{
    if (lines.size() != 4) {
        fail(why, QStringLiteral("%1 lines instead of 4").arg(lines.size()));
        return std::nullopt;
    }
    Entry e{lines[0], lines[1], lines[2], lines[3]};
    if (!parseTimeLine(e.time)) {
        fail(why, QStringLiteral("bad time line \"%1\"").arg(e.time.left(40)));
        return std::nullopt;
    }
    if (!isAbsoluteProgramPath(e.path)) {
        fail(why, QStringLiteral("bad program path \"%1\"").arg(e.path.left(80)));
        return std::nullopt;
    }
    if (!parseRunStyleCode(e.styleCode)) {
        fail(why, QStringLiteral("bad run style \"%1\"").arg(e.styleCode.left(40)));
        return std::nullopt;
    }
    if (!dayByName(e.dayName)) {
        fail(why, QStringLiteral("bad day line \"%1\"").arg(e.dayName.left(40)));
        return std::nullopt;
    }
    return e;
}

std::optional<Entry> parseEntryFile(QByteArrayView bytes, QString *why)
{
    if (bytes.size() > kMaxEntryFileSize) {
        fail(why, QStringLiteral("larger than %1 bytes").arg(kMaxEntryFileSize));
        return std::nullopt;
    }
    if (bytes.contains('\0')) {
        fail(why, QStringLiteral("contains a NUL byte"));
        return std::nullopt;
    }
    return validateEntry(decodeLines(bytes), why);
}

QList<Entry> parseDayList(QByteArrayView bytes, QStringList *problems)
{
    const QStringList lines = decodeLines(bytes);
    QList<Entry> entries;
    qsizetype i = 0;
    qsizetype badFrom = -1;
    QString badWhy;
    auto flushBad = [&] {
        if (badFrom >= 0 && problems)
            problems->append(QStringLiteral("line %1: %2").arg(badFrom + 1).arg(badWhy));
        badFrom = -1;
    };
    while (i < lines.size()) {
        QString why;
        std::optional<Entry> e;
        if (i + 4 <= lines.size())
            e = validateEntry(lines.mid(i, 4), &why);
        else
            why = QStringLiteral("incomplete entry at the end");
        if (e) {
            flushBad();
            entries.append(*e);
            i += 4;
        } else {
            if (badFrom < 0) {
                badFrom = i;
                badWhy = why;
            }
            ++i;
        }
    }
    flushBad();
    return entries;
}

} // namespace schedule
