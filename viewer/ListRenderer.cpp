#include "viewer/ListRenderer.h"

#include "schedule/LineKind.h"
#include "schedule/RunStyle.h"

namespace viewer {

namespace {

// The word of the run style list that a run style code stands for.
QString runStyleWord(QStringView code)
{
    const schedule::RunStyleName *style = schedule::runStyleByCode(code);
    return style ? QString(style->word) : code.toString();
}

} // namespace

std::optional<QString> displayLine(QStringView line)
{
    switch (schedule::classifyLine(line)) {
    case schedule::LineKind::Time:
        return QStringLiteral("Time: ").append(line);
    case schedule::LineKind::RunStyle:
        return QStringLiteral("Run Style - ") + runStyleWord(line);
    case schedule::LineKind::Day:
        return std::nullopt;
    case schedule::LineKind::Path:
        break;
    }
    return line.toString();
}

} // namespace viewer
