#pragma once

#include <QString>

namespace rendaro {

// Watches the login session the launcher runs in, from threads of its own,
// and asks the launcher to end (platform::requestStop) once the user has
// logged out. On Linux, where the user's processes may outlive the session,
// it follows the logind session's state over D-Bus, else the X display's
// connection; where it can tell neither (started from a terminal, a script,
// a test) the launcher runs until it is signalled. On Windows the session's
// end ends the launcher itself, and nothing needs watching.
void watchSession();

// The X display part of it: a connection to $DISPLAY whose loss means the
// session is over. Returns false where there is no display to watch.
bool watchDisplay();

} // namespace rendaro
