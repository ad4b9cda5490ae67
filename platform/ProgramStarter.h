#pragma once

#include <QString>

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
};

} // namespace platform
