#include "companions/rendaro/session/SessionWatch.h"
#include "companions/rendaro/session/X11Connection.h"

#include "companions/rendaro/session/Stop.h"

#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace rendaro {

xcb_connection_t *connectWithin(std::chrono::milliseconds limit, int *screen)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return nullptr;
    struct Attempt {
        std::mutex mutex;
        std::condition_variable done;
        xcb_connection_t *connection = nullptr;
        int screen = 0;
        bool finished = false;
        bool abandoned = false;
    };
    auto attempt = std::make_shared<Attempt>();
    std::thread([attempt] {
        int screen = 0;
        xcb_connection_t *connection = xcb_connect(nullptr, &screen);
        const std::lock_guard lock(attempt->mutex);
        if (attempt->abandoned) {
            xcb_disconnect(connection);
            return;
        }
        attempt->connection = connection;
        attempt->screen = screen;
        attempt->finished = true;
        attempt->done.notify_all();
    }).detach();
    std::unique_lock lock(attempt->mutex);
    if (!attempt->done.wait_for(lock, limit, [&] { return attempt->finished; })) {
        attempt->abandoned = true;
        return nullptr;
    }
    if (xcb_connection_has_error(attempt->connection)) {
        xcb_disconnect(attempt->connection);
        return nullptr;
    }
    if (screen)
        *screen = attempt->screen;
    return attempt->connection;
}

bool watchX11Display(rendaro::Stop &stop)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    // Connecting, too, happens in the thread: a display that does not answer
    // holds nobody up.
    std::thread([&stop] {
        xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            return;
        }
        // No events are asked for: waiting returns only when the display's
        // server closes the connection, at the end of the session.
        while (xcb_generic_event_t *event = xcb_wait_for_event(connection))
            std::free(event);
        stop.request(QStringLiteral("the display closed"));
    }).detach();
    return true;
}

} // namespace rendaro
