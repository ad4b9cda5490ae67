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
    auto digit = [&](int i) { return line[i] >= u'0' && line[i] <= u'9'; };
    if (!digit(0) || !digit(1) || !digit(3) || !digit(4))
        return std::nullopt;
    const int hour = line.first(2).toInt();
    const int minute = line.sliced(3).toInt();
    if (hour > 23 || !isMinuteChoice(line.sliced(3)))
        return std::nullopt;
    return hour * 60 + minute;
}

} // namespace schedule
