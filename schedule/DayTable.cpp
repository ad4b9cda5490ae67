#include "schedule/DayTable.h"

namespace schedule {

using namespace Qt::StringLiterals;

const std::array<Day, kDayCount> &days()
{
    static const std::array<Day, kDayCount> table{{
        {0, "Mon"_L1, "Monday"_L1, "datmon.dat"_L1},
        {1, "Tue"_L1, "Tuesday"_L1, "dattue.dat"_L1},
        {2, "Wed"_L1, "Wednesday"_L1, "datwed.dat"_L1},
        {3, "Thu"_L1, "Thursday"_L1, "datthu.dat"_L1},
        {4, "Fri"_L1, "Friday"_L1, "datfri.dat"_L1},
        {5, "Sat"_L1, "Saturday"_L1, "datsat.dat"_L1},
        {6, "Sun"_L1, "Sunday"_L1, "datsun.dat"_L1},
    }};
    return table;
}

const Day &day(int index)
{
    Q_ASSERT(index >= 0 && index < kDayCount);
    return days()[index];
}

const Day *dayByName(QStringView name)
{
    for (const Day &d : days())
        if (name == d.name)
            return &d;
    return nullptr;
}

} // namespace schedule
