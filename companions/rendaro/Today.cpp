#include "companions/rendaro/Today.h"

namespace rendaro {

const schedule::Day &dayOf(QDate date)
{
    return schedule::day(date.dayOfWeek() - 1);
}

QDateTime StartTimes::at(int minutes)
{
    auto known = m_known.constFind(minutes);
    if (known == m_known.cend())
        known = m_known.insert(minutes, compute(minutes));
    return *known;
}

QDateTime StartTimes::compute(int minutes) const
{
    const QTime time(minutes / 60, minutes % 60);
    const QDateTime dayStart = m_date.startOfDay();
    const QDateTime dayEnd = m_date.addDays(1).startOfDay();
    const QDateTime plain(m_date, time);
    // Most days the clock runs straight through.
    if (plain.isValid() && dayStart.offsetFromUtc() == dayEnd.offsetFromUtc())
        return plain;
    // A day with a clock change: the first moment at or past that time.
    for (QDateTime moment = dayStart; moment < dayEnd; moment = moment.addSecs(60))
        if (moment.time() >= time)
            return moment;
    return dayEnd;
}

} // namespace rendaro
