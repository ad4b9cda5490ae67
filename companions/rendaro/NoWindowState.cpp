#include "companions/rendaro/WindowState.h"

namespace rendaro {

// Without X11 support there is no one to ask; on Windows the start itself
// carries the show state.
int applyWindowStates(const QList<PendingWindows> &, std::chrono::milliseconds)
{
    return 0;
}

} // namespace rendaro

#include "companions/rendaro/SessionWatch.h"

namespace rendaro {

bool watchDisplay()
{
    return false;
}

} // namespace rendaro
