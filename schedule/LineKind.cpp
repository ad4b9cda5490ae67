#include "schedule/LineKind.h"

#include "schedule/DayTable.h"
#include "schedule/RunStyle.h"

namespace schedule {

LineKind classifyLine(QStringView line)
{
    if (line.size() >= 3 && line[2] == u':')
        return LineKind::Time;
    if (runStyleByCode(line))
        return LineKind::RunStyle;
    if (dayByName(line))
        return LineKind::Day;
    return LineKind::Path;
}

} // namespace schedule
