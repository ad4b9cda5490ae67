#include "schedule/RunStyle.h"

namespace schedule {

using namespace Qt::StringLiterals;

const std::array<RunStyleName, kRunStyleCount> &runStyles()
{
    static const std::array<RunStyleName, kRunStyleCount> table{{
        {RunStyle::Normal, "Normal"_L1, "Normal"_L1},
        {RunStyle::Hide, "Hide"_L1, "Hide"_L1},
        {RunStyle::Min, "Min"_L1, "Minimize"_L1},
        {RunStyle::Max, "Max"_L1, "Maximize"_L1},
    }};
    return table;
}

const RunStyleName &runStyleName(RunStyle style)
{
    // The table is in the order of the enumeration.
    Q_ASSERT(runStyles()[int(style)].style == style);
    return runStyles()[int(style)];
}

const RunStyleName *runStyleByCode(QStringView code)
{
    for (const RunStyleName &s : runStyles())
        if (code == s.code)
            return &s;
    return nullptr;
}

const RunStyleName *runStyleByWord(QStringView word)
{
    for (const RunStyleName &s : runStyles())
        if (word == s.word)
            return &s;
    return nullptr;
}

} // namespace schedule
