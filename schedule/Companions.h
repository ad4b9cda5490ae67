#pragma once

#include <QLatin1StringView>
#include <QStringList>

namespace schedule {

using namespace Qt::StringLiterals;

// The companion programs, started by bare name with a hidden window and no
// arguments; they work on the working folder the program shares with them.
inline constexpr QLatin1StringView kGatherProgram = "brinol.com"_L1; // entry files -> day list files
inline constexpr QLatin1StringView kClearProgram = "zeptra.com"_L1;  // clears the collected data

// The launcher the Startup shortcut points at, beside the program's executable.
inline constexpr QLatin1StringView kLauncherProgram = "Rendaro.exe"_L1;

// The launcher's log in the working folder.
inline constexpr QLatin1StringView kLauncherLog = "rendaro.log"_L1;

// The programs beside Vellomar's executable that a schedule must never
// start: the launcher would run the day's list again, and again.
inline QStringList ownPrograms()
{
    return {kLauncherProgram, kGatherProgram, kClearProgram};
}

} // namespace schedule
