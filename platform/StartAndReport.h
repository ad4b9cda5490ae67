#pragma once

#include <QString>

namespace platform {

class ProgramStarter;
class Prompter;

// Starts a companion program by its bare name, hidden, without waiting. A
// start that fails is told to the user in a message box that names the
// program and the reason; the caller carries on either way.
void startHiddenAndReport(ProgramStarter &starter, Prompter &prompter, const QString &program);

} // namespace platform
