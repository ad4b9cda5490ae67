#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace schedule {

// How a started program's window appears.
enum class RunStyle { Normal, Hide, Min, Max };

// The four words of the run style list, in list order.
inline constexpr const char *kRunStyleChoices[] = {"Normal", "Hide", "Minimize", "Maximize"};

// "Minimize" -> "Min", "Maximize" -> "Max", "Hide"/"Normal" unchanged;
// nothing for any other text.
std::optional<QString> runStyleCodeForChoice(QStringView choice);

// The code stored in an entry: "Normal", "Hide", "Min" or "Max", exactly.
std::optional<RunStyle> parseRunStyleCode(QStringView code);
QString runStyleCode(RunStyle style);

} // namespace schedule
