#pragma once

#include <QString>

#include <memory>

namespace platform {

// A short notice to the user on the desktop, from a program without a
// window: on Linux a notification through the freedesktop notification
// service on the session bus, on Windows a message box of the program's own.
// Showing it never holds the caller up; wait() lets the notice finish (the
// bus's answer, or the user closing the box) before the program ends. With
// no session bus or no notification service there is no notice.
class DesktopNotice
{
public:
    DesktopNotice();
    ~DesktopNotice();
    DesktopNotice(const DesktopNotice &) = delete;
    DesktopNotice &operator=(const DesktopNotice &) = delete;

    void show(const QString &title, const QString &text);
    void wait();

private:
    struct Pending;
    std::unique_ptr<Pending> m_pending;
};

} // namespace platform
