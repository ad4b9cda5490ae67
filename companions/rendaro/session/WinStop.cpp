// The console's close, log-off and shut-down events; an event wakes a sleeper.
#include "companions/rendaro/session/Stop.h"

#include <windows.h>

namespace rendaro {

namespace {

// What the console handler may touch: the event caught (plus one, so that
// none is 0), and the wake-up of the one object that catches them.
std::atomic<int> g_signal{0};
std::atomic<const Stop *> g_catcher{nullptr};
std::atomic<HANDLE> g_event{nullptr};

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

} // namespace

Stop::Stop()
{
    m_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

Stop::~Stop()
{
    const Stop *self = this;
    g_catcher.compare_exchange_strong(self, nullptr);
    if (g_event == m_event)
        g_event = nullptr;
    CloseHandle(m_event);
}

void Stop::catchSignals()
{
    g_catcher = this;
    g_event = m_event;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void Stop::wake() const
{
    SetEvent(m_event);
}

QString Stop::caught() const
{
    if (g_catcher != this || g_signal == 0)
        return {};
    switch (g_signal - 1) {
    case CTRL_LOGOFF_EVENT:
        return QStringLiteral("the user logged off");
    case CTRL_SHUTDOWN_EVENT:
        return QStringLiteral("the system shuts down");
    default:
        return QStringLiteral("the console was closed");
    }
}

void Stop::sleep(std::chrono::milliseconds span) const
{
    if (!requested())
        WaitForSingleObject(m_event, DWORD(span.count()));
}

} // namespace rendaro
