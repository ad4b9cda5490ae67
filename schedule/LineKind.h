#pragma once

#include <QStringView>

namespace schedule {

enum class LineKind { Time, RunStyle, Day, Path };

// The kind of a line of a day list file, tested in this order, exactly and
// case-sensitively: third character ":" is a time line; "Hide", "Max",
// "Min", "Normal" a run style line; a day name a day line; else a path line.
LineKind classifyLine(QStringView line);

} // namespace schedule
