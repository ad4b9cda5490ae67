#include "companions/rendaro/SessionWatch.h"
#include "companions/rendaro/WindowState.h"

namespace rendaro {

// Without X11 support there is no one to ask; on Windows the start itself
// carries the show state.
int applyWindowStates(const QList<PendingWindows> &, const std::function<bool()> &, std::chrono::milliseconds)
{
    return 0;
}

bool watchX11Display(platform::Stop &)
{
    return false;
}

} // namespace rendaro
