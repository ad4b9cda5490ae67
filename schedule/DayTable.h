#pragma once

#include <QLatin1StringView>
#include <QStringView>

#include <array>

namespace schedule {

// One weekday as the schedule files name it. Index 0 is Monday.
struct Day {
    int index;
    QLatin1StringView code;     // "Mon": entry file names
    QLatin1StringView name;     // "Monday": the day line of an entry
    QLatin1StringView listFile; // "datmon.dat": the day list file
};

constexpr int kDayCount = 7;

const std::array<Day, kDayCount> &days();
const Day &day(int index); // index 0..6

const Day *dayByName(QStringView name); // exact, case-sensitive

} // namespace schedule
