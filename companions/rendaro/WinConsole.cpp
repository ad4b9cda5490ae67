#include "companions/rendaro/Console.h"

#include <QTextStream>

#include <cstdio>
#include <windows.h>

namespace rendaro {

namespace {
bool g_console = false;
} // namespace

// Built without a console so that logon shows no window; started from a
// console (--list, --help), it writes to that console.
void attachConsole()
{
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
        g_console = true;
    } else {
        g_console = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN; // a file or a pipe
    }
}

void answer(const QString &text, const QString &paragraphs)
{
    if (!g_console) {
        MessageBoxW(nullptr, reinterpret_cast<LPCWSTR>(paragraphs.utf16()), L"Rendaro.exe", MB_OK | MB_ICONINFORMATION);
        return;
    }
    QTextStream(stdout) << text;
}

} // namespace rendaro
