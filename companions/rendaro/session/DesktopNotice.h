#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace rendaro {

// Short notices to the user on the desktop, from a program without a
// window: on Linux notifications through the freedesktop notification
// service on the session bus, on Windows message boxes of the program's own.
// They are shown one after another by a thread of their own, so showing one
// never holds the caller up, however slow the bus or the user. The
// destructor lets the notices in flight finish: on Windows until the user
// has closed each box; on Linux for a few seconds, after which a bus that
// does not answer is given up. With no session bus or no notification
// service there is no notice.
class DesktopNotice
{
public:
    DesktopNotice();
    ~DesktopNotice();
    DesktopNotice(const DesktopNotice &) = delete;
    DesktopNotice &operator=(const DesktopNotice &) = delete;

    void show(const QString &title, const QString &text);

    // Whether a notice was given up while still talking to the bus: its
    // thread cannot be stopped, so the program must end without running
    // the library's exit handlers (std::_Exit), which would wait for it.
    static bool givenUp();

    struct Queue;

private:
    // A file per system: shows one notice, on the notices' own thread; how
    // long the notices in flight may take once the program is done (none:
    // as long as they take).
    static void send(const QString &title, const QString &text);
    static const std::optional<std::chrono::seconds> kSettleWithin;

    std::shared_ptr<Queue> m_queue;
};

} // namespace rendaro
