#pragma once

#include "platform/ProgramStarter.h"

#include <QString>

namespace platform {

class Prompter;

// Starts program, with argument when there is one, without waiting. A start that fails
// is told to the user in a message box that names the program and the
// reason; the caller carries on either way.
void startAndReport(ProgramStarter &starter, Prompter &prompter, const QString &program, const QString &argument,
                    WindowStyle style);

// The same for a companion program: bare name, hidden window.
void startHiddenAndReport(ProgramStarter &starter, Prompter &prompter, const QString &program);

} // namespace platform
