#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace viewer {

// What the viewer draws for one line of a day list file: "Time: " before a
// time line, "Run Style - " and the run style's full word for a run style
// code, nothing for a day line, and any other line unchanged.
std::optional<QString> displayLine(QStringView line);

} // namespace viewer
