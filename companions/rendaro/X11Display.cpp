#include "companions/rendaro/SessionWatch.h"

#include "platform/Stop.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <thread>

namespace rendaro {

bool watchDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    // No events are asked for: waiting returns only when the display's
    // server closes the connection, at the end of the session.
    std::thread([connection] {
        while (xcb_generic_event_t *event = xcb_wait_for_event(connection))
            std::free(event);
        platform::requestStop(QStringLiteral("the display closed"));
    }).detach();
    return true;
}

} // namespace rendaro
