#pragma once

#include <QString>

#include <functional>

namespace platform {

// The window a started program gets, with the platform's style numbers.
enum class WindowStyle {
    Hidden = 0,      // no window, no terminal; output discarded
    NormalFocus = 1, // a normal window with the focus
};

struct StartResult {
    bool started = false;
    QString error; // why not, when !started
};

// Starts a command line, "program" or "program argument", without waiting.
// A bare program name is looked up as a command: first in the application
// folder, then along the PATH, never in the working folder. The started
// program inherits the working folder.
class ProgramStarter
{
public:
    virtual ~ProgramStarter() = default;
    virtual StartResult start(const QString &commandLine, WindowStyle style) = 0;

    // Starts the same way, and watches the program without waiting for it:
    // once it has ended, `ended` runs from the event loop with whether it
    // succeeded (exit status 0). A program still running when this one
    // exits is left running.
    virtual StartResult startWatched(const QString &commandLine, WindowStyle style,
                                     std::function<void(bool succeeded)> ended) = 0;
};

} // namespace platform
