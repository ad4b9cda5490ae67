#pragma once

#include "base/Result.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// The window a started program gets. On Windows each is handed to the
// program as its show state: SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINNOACTIVE,
// SW_SHOWMAXIMIZED.
enum class WindowStyle {
    Hidden,      // no terminal, output discarded; on Windows no window
    NormalFocus, // a normal window with the focus
    Minimized,   // minimized, without the focus
    Maximized,   // maximized
};

// Starts a program with its arguments, each passed as it is (never through
// a shell), without waiting, and gives its process id. A bare program name
// is looked up as a command: first in the application folder, then along
// the PATH, never in the working folder. The started program inherits the
// working folder.
class ProgramStarter
{
public:
    virtual ~ProgramStarter() = default;

    // With ended, the program is watched without being waited for: once it
    // has ended, ended runs from the event loop with whether it succeeded
    // (exit status 0). A program still running when this one exits is left
    // running.
    virtual base::Result<qint64> start(const QString &program, const QStringList &arguments, WindowStyle style,
                                       std::function<void(bool succeeded)> ended = {}) = 0;
};

} // namespace platform
