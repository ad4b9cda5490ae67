// Termination signals caught by sigaction(); a pipe wakes a sleeper in poll().
#include "companions/rendaro/session/Stop.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace rendaro {

namespace {

// What a signal handler may touch: the number of the signal caught, and
// the wake-up of the one object that catches them.
std::atomic<int> g_signal{0};
std::atomic<const Stop *> g_catcher{nullptr};
std::atomic<int> g_wakeFd{-1};

void onSignal(int number)
{
    const int saved = errno;
    g_signal = number;
    if (const int fd = g_wakeFd; fd >= 0) {
        [[maybe_unused]] const auto ignored = ::write(fd, "x", 1);
    }
    errno = saved;
}

} // namespace

Stop::Stop()
{
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wake[0] = m_wake[1] = -1;
}

Stop::~Stop()
{
    const Stop *self = this;
    g_catcher.compare_exchange_strong(self, nullptr);
    if (g_wakeFd == m_wake[1])
        g_wakeFd = -1;
    for (int fd : m_wake)
        if (fd >= 0)
            ::close(fd);
}

void Stop::catchSignals()
{
    g_catcher = this;
    g_wakeFd = m_wake[1];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(number, &action, nullptr);
}

void Stop::wake() const
{
    if (m_wake[1] >= 0) {
        [[maybe_unused]] const auto ignored = ::write(m_wake[1], "x", 1);
    }
}

QString Stop::caught() const
{
    const int number = g_signal;
    if (g_catcher != this || number == 0)
        return {};
    switch (number) {
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    case SIGINT:
        return QStringLiteral("SIGINT");
    default:
        return QStringLiteral("signal %1").arg(number);
    }
}

void Stop::sleep(std::chrono::milliseconds span) const
{
    if (requested())
        return;
    struct pollfd wake = {m_wake[0], POLLIN, 0};
    if (::poll(&wake, m_wake[0] >= 0 ? 1 : 0, int(span.count())) > 0) {
        // Drained only once a stop is known: every later sleep ends at once.
        if (!requested()) {
            char drained[64];
            while (::read(m_wake[0], drained, sizeof drained) > 0) {
            }
        }
    }
}

} // namespace rendaro
