#include "companions/rendaro/session/WindowState.h"

namespace rendaro {

// A Wayland session lets no program set another's windows through Wayland
// itself. KWin does it for scripts it is given, on Wayland and XWayland
// alike; elsewhere the XWayland display, where there is one, is an X11
// display like any other for the programs started on it.
std::unique_ptr<WindowStyler> sessionWindowStyler()
{
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (wayland)
        if (std::unique_ptr<WindowStyler> kwin = kwinWindowStyler())
            return kwin;
    if (wayland && x11)
        return x11WindowStyler(true);
    if (wayland)
        return noWindowStyler(QStringLiteral("this desktop lets no program set another's window"));
    if (x11)
        return x11WindowStyler(false);
    return noDisplayStyler();
}

} // namespace rendaro
