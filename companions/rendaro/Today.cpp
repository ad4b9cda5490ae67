#include "Today.h"

#include <algorithm>

namespace rendaro {

const schedule::Day &dayOf(QDate date)
{
    return schedule::day(date.dayOfWeek() - 1);
}

QList<schedule::Entry> inStartOrder(QList<schedule::Entry> entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const schedule::Entry &a, const schedule::Entry &b) { return a.minutes() < b.minutes(); });
    return entries;
}

QDateTime startTime(QDate date, const schedule::Entry &entry)
{
    const int minutes = entry.minutes();
    return QDateTime(date, QTime(minutes / 60, minutes % 60));
}

} // namespace rendaro
