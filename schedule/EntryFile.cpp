#include "schedule/EntryFile.h"

#include "schedule/TextFile.h"

#include <QCoreApplication>

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

WriteResult writeEntryFile(const QString &path, const Entry &entry)
{
    QString bad;
    const auto bytes = encodeLines(entry.lines(), &bad);
    if (!bytes)
        return {false, QCoreApplication::translate("schedule",
                           "the character \"%1\" cannot be written to an 8-bit schedule file")
                           .arg(bad)};
    return platform::replaceFile(path, *bytes);
}

} // namespace schedule
