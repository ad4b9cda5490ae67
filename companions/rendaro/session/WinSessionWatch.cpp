#include "companions/rendaro/session/SessionWatch.h"

#include "companions/rendaro/session/Stop.h"

#include <windows.h>

#include <atomic>
#include <thread>

namespace rendaro {

namespace {

std::atomic<rendaro::Stop *> g_stop{nullptr};
std::atomic<bool> g_finished{false};

LRESULT CALLBACK onSessionMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && g_stop) {
            g_stop.load()->request(QStringLiteral("the user logged off"));
            // The process ends when this returns: the launcher writes its
            // last line and lets go of its lock first (for 5 s at most).
            for (int i = 0; i < 50 && !g_finished; ++i)
                Sleep(100);
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void launcherFinished()
{
    g_finished = true;
}

// A program without a console hears of the log-off only through a
// top-level window of its own (a message-only window is not told), which is
// never shown, in a thread with a message loop of its own.
void watchSession(rendaro::Stop &stop)
{
    g_stop = &stop;
    std::thread([] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = onSessionMessage;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"RendaroSession";
        RegisterClassW(&windowClass);
        if (!CreateWindowExW(0, windowClass.lpszClassName, L"Rendaro", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                             windowClass.hInstance, nullptr))
            return;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    }).detach();
}

} // namespace rendaro
