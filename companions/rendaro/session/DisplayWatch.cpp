#include "companions/rendaro/session/SessionWatch.h"

#include "companions/rendaro/session/Stop.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace rendaro {

namespace {

// The Wayland compositor's socket: $WAYLAND_DISPLAY, a path of its own or a
// name in $XDG_RUNTIME_DIR.
QString waylandSocket()
{
    const QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty() || QDir::isAbsolutePath(display))
        return display;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : QDir(runtime).filePath(display);
}

// A connection that says nothing: the compositor keeps it until it ends,
// and then the socket reads as closed.
bool watchWayland(rendaro::Stop &stop)
{
    const QByteArray path = QFile::encodeName(waylandSocket());
    sockaddr_un address{};
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    std::thread([fd, &stop] {
        char buffer[256];
        for (;;) {
            pollfd wait{fd, POLLIN, 0};
            if (::poll(&wait, 1, -1) < 0)
                continue;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
                break;
        }
        ::close(fd);
        stop.request(QStringLiteral("the display closed"));
    }).detach();
    return true;
}

} // namespace

bool watchDisplay(rendaro::Stop &stop)
{
    // A Wayland session may run an X server only for as long as X clients
    // need it: its compositor is the session's display.
    return watchWayland(stop) || watchX11Display(stop);
}

} // namespace rendaro
