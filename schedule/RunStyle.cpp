#include "schedule/RunStyle.h"

namespace schedule {

std::optional<QString> runStyleCodeForChoice(QStringView choice)
{
    if (choice == u"Minimize")
        return QStringLiteral("Min");
    if (choice == u"Maximize")
        return QStringLiteral("Max");
    if (choice == u"Hide" || choice == u"Normal")
        return choice.toString();
    return std::nullopt;
}

std::optional<RunStyle> parseRunStyleCode(QStringView code)
{
    if (code == u"Normal")
        return RunStyle::Normal;
    if (code == u"Hide")
        return RunStyle::Hide;
    if (code == u"Min")
        return RunStyle::Min;
    if (code == u"Max")
        return RunStyle::Max;
    return std::nullopt;
}

QString runStyleCode(RunStyle style)
{
    switch (style) {
    case RunStyle::Normal: return QStringLiteral("Normal");
    case RunStyle::Hide: return QStringLiteral("Hide");
    case RunStyle::Min: return QStringLiteral("Min");
    case RunStyle::Max: return QStringLiteral("Max");
    }
    return {};
}

} // namespace schedule
