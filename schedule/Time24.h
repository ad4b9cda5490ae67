#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace schedule {

// The items of the hour list, "01" .. "12", and of the minute list, "00",
// "15", "30", "45", exactly.
bool isHourChoice(QStringView hour12);
bool isMinuteChoice(QStringView minute);

// The hour of a time line from the hour list ("01".."12") and "AM"/"PM":
// 12 AM -> "00", 01..11 AM unchanged, 12 PM -> "12", 01..11 PM -> hour + 12.
// hour12 must be an hour list item.
QString hour24(QStringView hour12, QStringView amPm);

// The time line: hour, ":", minute, back to back.
QString timeLine(QStringView hour24, QStringView minute);

// Minutes after midnight of a valid time line: "HH:MM" with HH 00..23 and
// MM one of 00, 15, 30, 45. Nothing for anything else.
std::optional<int> parseTimeLine(QStringView line);

} // namespace schedule
