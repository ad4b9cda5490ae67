#include "platform/Stop.h"

#include <QMutex>

#include <atomic>
#include <csignal>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

std::atomic<int> g_signal{0};
QMutex g_mutex;
QString g_why; // guarded by g_mutex

#ifdef Q_OS_WIN

HANDLE stopEvent()
{
    static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}

BOOL WINAPI onConsoleEvent(DWORD type)
{
    g_signal = int(type) + 1;
    SetEvent(stopEvent());
    // Log-off and shut-down end the process when this returns: give the
    // main thread a moment to write its last line.
    if (type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT || type == CTRL_CLOSE_EVENT)
        Sleep(2000);
    return TRUE;
}

void wake()
{
    SetEvent(stopEvent());
}

#else

// The write end wakes a sleeper in poll(); a signal handler may write to it.
int g_wake[2] = {-1, -1};

void wake()
{
    if (g_wake[1] >= 0)
        [[maybe_unused]] const auto ignored = ::write(g_wake[1], "x", 1);
}

void onSignal(int number)
{
    const int saved = errno;
    g_signal = number;
    wake();
    errno = saved;
}

#endif

QString signalName(int number)
{
#ifdef Q_OS_WIN
    switch (number - 1) {
    case CTRL_LOGOFF_EVENT: return QStringLiteral("the user logged off");
    case CTRL_SHUTDOWN_EVENT: return QStringLiteral("the system shuts down");
    default: return QStringLiteral("the console was closed");
    }
#else
    switch (number) {
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGHUP: return QStringLiteral("SIGHUP");
    case SIGINT: return QStringLiteral("SIGINT");
    default: return QStringLiteral("signal %1").arg(number);
    }
#endif
}

} // namespace

void catchStopRequests()
{
#ifdef Q_OS_WIN
    stopEvent();
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    if (g_wake[0] < 0 && ::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        g_wake[0] = g_wake[1] = -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(number, &action, nullptr);
#endif
}

void requestStop(const QString &why)
{
    {
        QMutexLocker lock(&g_mutex);
        if (g_why.isEmpty())
            g_why = why;
    }
    wake();
}

QString stopRequested()
{
    QMutexLocker lock(&g_mutex);
    if (g_why.isEmpty() && g_signal != 0)
        g_why = signalName(g_signal);
    return g_why;
}

void sleepUnlessStopped(std::chrono::milliseconds span)
{
    if (!stopRequested().isEmpty())
        return;
#ifdef Q_OS_WIN
    WaitForSingleObject(stopEvent(), DWORD(span.count()));
#else
    struct pollfd wake {g_wake[0], POLLIN, 0};
    if (::poll(&wake, g_wake[0] >= 0 ? 1 : 0, int(span.count())) > 0) {
        char drained[64];
        while (::read(g_wake[0], drained, sizeof drained) > 0) {
        }
    }
#endif
}

} // namespace platform
