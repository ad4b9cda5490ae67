#include "companions/rendaro/session/Stop.h"

#include <csignal>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace rendaro {

namespace {

// What a signal handler may touch: the number of the signal caught, and
// the wake-up of the one object that catches them.
std::atomic<int> g_signal{0};
std::atomic<const Stop *> g_catcher{nullptr};
#ifdef Q_OS_WIN
std::atomic<HANDLE> g_event{nullptr};
#else
std::atomic<int> g_wakeFd{-1};
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

#ifdef Q_OS_WIN
BOOL WINAPI onConsoleEvent(DWORD type)
{
    g_signal = int(type) + 1;
    if (const HANDLE event = g_event)
        SetEvent(event);
    // Log-off and shut-down end the process when this returns: give the
    // main thread a moment to write its last line.
    if (type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT || type == CTRL_CLOSE_EVENT)
        Sleep(2000);
    return TRUE;
}
#else
void onSignal(int number)
{
    const int saved = errno;
    g_signal = number;
    if (const int fd = g_wakeFd; fd >= 0)
        [[maybe_unused]] const auto ignored = ::write(fd, "x", 1);
    errno = saved;
}
#endif

} // namespace

Stop::Stop()
{
#ifdef Q_OS_WIN
    m_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
#else
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wake[0] = m_wake[1] = -1;
#endif
}

Stop::~Stop()
{
    const Stop *self = this;
    g_catcher.compare_exchange_strong(self, nullptr);
#ifdef Q_OS_WIN
    if (g_event == m_event)
        g_event = nullptr;
    CloseHandle(m_event);
#else
    if (g_wakeFd == m_wake[1])
        g_wakeFd = -1;
    for (int fd : m_wake)
        if (fd >= 0)
            ::close(fd);
#endif
}

void Stop::catchSignals()
{
    g_catcher = this;
#ifdef Q_OS_WIN
    g_event = m_event;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    g_wakeFd = m_wake[1];
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(number, &action, nullptr);
#endif
}

void Stop::wake() const
{
#ifdef Q_OS_WIN
    SetEvent(m_event);
#else
    if (m_wake[1] >= 0)
        [[maybe_unused]] const auto ignored = ::write(m_wake[1], "x", 1);
#endif
}

void Stop::request(const QString &why)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_why.isEmpty())
            m_why = why;
    }
    wake();
}

QString Stop::reason() const
{
    QMutexLocker lock(&m_mutex);
    if (m_why.isEmpty() && g_catcher == this && g_signal != 0)
        m_why = signalName(g_signal);
    return m_why;
}

void Stop::sleep(std::chrono::milliseconds span) const
{
    if (requested())
        return;
#ifdef Q_OS_WIN
    WaitForSingleObject(m_event, DWORD(span.count()));
#else
    struct pollfd wake {m_wake[0], POLLIN, 0};
    if (::poll(&wake, m_wake[0] >= 0 ? 1 : 0, int(span.count())) > 0) {
        // Drained only once a stop is known: every later sleep ends at once.
        if (!requested()) {
            char drained[64];
            while (::read(m_wake[0], drained, sizeof drained) > 0) {
            }
        }
    }
#endif
}

} // namespace rendaro
