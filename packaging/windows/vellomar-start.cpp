// What the Start menu entry starts: Vellomar works on its working folder, so
// give it one of its own in the user's local application data folder, with
// the read-me and licence its Help menu opens, and start it there.
#include "platform/windows/WinAppFolder.h"
#include "platform/windows/WinOutcome.h"
#include "platform/windows/WinStart.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace {

std::wstring userFolder()
{
    wchar_t *base = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &base)))
        folder = std::wstring(base) + L"\\Vellomar";
    CoTaskMemFree(base);
    return folder;
}

int fail(const std::wstring &text)
{
    MessageBoxW(nullptr, text.c_str(), L"Vellomar", MB_OK | MB_ICONERROR);
    return 1;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::wstring programs = winplat::applicationFolder();
    const std::wstring work = userFolder();
    if (programs.empty() || work.empty())
        return fail(L"Cannot find the program folder or your application data folder.");
    // Made inside the user's own folder, it inherits that folder's permissions,
    // which the launcher trusts.
    if (!CreateDirectoryW(work.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return fail(L"Cannot create " + work + L": " + winplat::systemMessage(GetLastError()));
    for (const wchar_t *name : {L"readme.1st", L"license.txt"}) {
        // An existing copy is the user's and stays as it is.
        CopyFileW((programs + name).c_str(), (work + L"\\" + name).c_str(), TRUE);
    }
    const winplat::Outcome started = winplat::startProgram(programs + L"vellomar.exe", L"", work, 0);
    return started.ok ? 0 : fail(started.error);
}
