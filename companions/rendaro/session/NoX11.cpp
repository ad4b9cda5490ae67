#include "companions/rendaro/session/SessionWatch.h"
#include "companions/rendaro/session/WindowState.h"

namespace rendaro {

// Built without libxcb: nothing can be asked of an X11 display.
std::unique_ptr<WindowStyler> x11WindowStyler(bool)
{
    return noWindowStyler(QStringLiteral("this Rendaro.exe was built without X11 support"));
}

bool watchX11Display(rendaro::Stop &)
{
    return false;
}

} // namespace rendaro
