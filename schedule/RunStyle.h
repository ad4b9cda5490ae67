#pragma once

#include <QLatin1StringView>
#include <QStringView>

#include <array>

namespace schedule {

// How a started program's window appears.
enum class RunStyle { Normal, Hide, Min, Max };

// One run style as the schedule files and the windows name it.
struct RunStyleName {
    RunStyle style;
    QLatin1StringView code; // "Min": the run style line of an entry
    QLatin1StringView word; // "Minimize": the item of the run style list
};

constexpr int kRunStyleCount = 4;

// The run styles in list order: Normal, Hide, Minimize, Maximize.
const std::array<RunStyleName, kRunStyleCount> &runStyles();
const RunStyleName &runStyleName(RunStyle style);

const RunStyleName *runStyleByCode(QStringView code); // exact, case-sensitive
const RunStyleName *runStyleByWord(QStringView word); // exact, case-sensitive

} // namespace schedule
