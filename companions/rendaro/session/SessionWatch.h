#pragma once

namespace rendaro {

class Stop;

// Watches the login session the launcher runs in, from threads of its own,
// and asks the launcher to end (stop.request) once the session is over.
// On Linux every sign of it counts, whichever comes first: the logind
// session's state, read every half minute, turns "closing" (logind never
// announces that change, and under KillUserProcesses=no the session stays
// "closing" for as long as a process of it runs); logind removes the
// session; the display's server (Wayland, else X11) closes the connection.
// Where none can be watched (started from a terminal, a script, a test) the
// launcher runs until it is signalled. On Windows the session's end comes
// as WM_ENDSESSION to a hidden window of its own.
void watchSession(rendaro::Stop &stop);

// Tells the session watch that the launcher has written its last line and
// let go of its lock: a log-off may take the process now.
void launcherFinished();

// The display part of it: a connection to the Wayland compositor or the X
// server whose loss means the session is over. Returns false where there is
// no display to watch.
bool watchDisplay(rendaro::Stop &stop);

// The X11 side of watchDisplay(), where X11 support is built in.
bool watchX11Display(rendaro::Stop &stop);

} // namespace rendaro
