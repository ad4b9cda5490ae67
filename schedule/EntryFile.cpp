#include "schedule/EntryFile.h"

#include "schedule/TextFile.h"

#include <limits>

namespace schedule {

namespace {

// An entry file name is laid out as "Wed" "7" ".dat": the day code of three
// letters, the number, the ending.
constexpr QStringView kEntryFileEnding = u".dat";
constexpr qsizetype kDayCodeLength = 3;
constexpr qsizetype kShortestEntryFileName = kDayCodeLength + 1 + kEntryFileEnding.size();
// Any number of this many decimal digits fits a qint64.
constexpr qsizetype kMostNumberDigits = std::numeric_limits<qint64>::digits10;

} // namespace

QString entryFileName(const Day &day, qint64 number)
{
    return QString(day.code) + QString::number(number) + kEntryFileEnding.toString();
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
    if (name.size() < kShortestEntryFileName || !name.endsWith(kEntryFileEnding, cs))
        return std::nullopt;
    const Day *d = nullptr;
    for (const Day &candidate : days())
        if (name.first(kDayCodeLength).compare(candidate.code, cs) == 0) {
            d = &candidate;
            break;
        }
    if (!d)
        return std::nullopt;
    const QStringView digits = name.sliced(kDayCodeLength, name.size() - kDayCodeLength - kEntryFileEnding.size());
    if (digits.isEmpty() || digits.size() > kMostNumberDigits || digits[0] == u'0')
        return std::nullopt;
    qint64 number = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        number = number * 10 + (c.unicode() - u'0');
    }
    return EntryFileName{d->index, number};
}

bool isDayListFileName(QStringView name, Qt::CaseSensitivity cs)
{
    for (const Day &d : days())
        if (name.compare(d.listFile, cs) == 0)
            return true;
    return false;
}

base::Result<> writeEntryFile(const QString &path, const Entry &entry)
{
    const base::Result<QByteArray> bytes = encodeLines(entry.lines());
    if (!bytes)
        return base::Failure{
            QStringLiteral("the character \"%1\" cannot be written to an 8-bit schedule file").arg(bytes.reason())};
    return base::replaceFile(path, *bytes);
}

} // namespace schedule
