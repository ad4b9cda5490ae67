#pragma once

#include "schedule/DayTable.h"

#include <QDate>
#include <QDateTime>
#include <QHash>

namespace rendaro {

// The day table's day of a date (Monday is index 0).
const schedule::Day &dayOf(QDate date);

// When the entries of a date start, in local time: at the first moment the
// clock shows their time or a later one. On the night the clock skips an
// hour, a time inside the gap starts when the clock resumes (02:30 starts at
// 03:00); on the night it shows an hour twice, a time in it starts the first
// time round.
class StartTimes
{
public:
    explicit StartTimes(QDate date)
        : m_date(date)
    {
    }
    QDateTime at(int minutes); // minutes after midnight, 0 .. 1439

private:
    QDateTime compute(int minutes) const;

    QDate m_date;
    QHash<int, QDateTime> m_known; // a few distinct times, each worked out once
};

} // namespace rendaro
