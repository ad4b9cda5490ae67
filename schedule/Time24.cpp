#include "schedule/Time24.h"

namespace schedule {

static bool twoDigits(QStringView text)
{
    return text.size() == 2 && text[0] >= u'0' && text[0] <= u'9' && text[1] >= u'0' && text[1] <= u'9';
}

bool isHourChoice(QStringView hour12)
{
    if (!twoDigits(hour12))
        return false;
    const int value = hour12.toInt();
    return value >= 1 && value <= 12;
}

bool isMinuteChoice(QStringView minute)
{
    return minute == u"00" || minute == u"15" || minute == u"30" || minute == u"45";
}

QString hour24(QStringView hour12, QStringView amPm)
{
    QString hour = hour12.toString();
    const int value = hour12.toInt();
    if (amPm == u"PM" && value != 12)
        hour = QString::number(value + 12);
    if (amPm == u"AM" && value == 12)
        hour = QStringLiteral("00");
    return hour;
}

QString timeLine(QStringView hour24, QStringView minute)
{
    return hour24.toString() + u':' + minute.toString();
}

std::optional<int> parseTimeLine(QStringView line)
{
    if (line.size() != 5 || line[2] != u':')
        return std::nullopt;
    // The digits' values by hand: every entry read comes through here, and
    // toInt() converts and copies the text first.
    auto digit = [&](int i) { return line[i] >= u'0' && line[i] <= u'9'; };
    if (!digit(0) || !digit(1) || !digit(3) || !digit(4))
        return std::nullopt;
    auto value = [&](int i) { return (line[i].unicode() - u'0') * 10 + (line[i + 1].unicode() - u'0'); };
    const int hour = value(0);
    const int minute = value(3);
    if (hour > 23 || !isMinuteChoice(line.sliced(3)))
        return std::nullopt;
    return hour * 60 + minute;
}

} // namespace schedule
