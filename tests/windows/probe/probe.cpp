// The Windows test's helper, run under Wine:
//   probe.exe           writes how it was started (show state, folder) to the
//                       file named by VELLOMAR_PROBE_REPORT
//   probe.exe --checks  the Windows code the end-to-end run cannot reach
#include "platform/windows/WinAppFolder.h"
#include "platform/windows/WinShortcut.h"
#include "platform/windows/WinStart.h"
#include "platform/windows/WinTrust.h"

#include <windows.h>

#include <sddl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void check(bool ok, const std::wstring &what, const std::wstring &got)
{
    if (!ok) {
        ++failures;
        std::wprintf(L"FAIL %ls: %ls\n", what.c_str(), got.c_str());
    }
}

bool exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int report()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    wchar_t cwd[MAX_PATH] = {}, path[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    GetEnvironmentVariableW(L"VELLOMAR_PROBE_REPORT", path, MAX_PATH);
    // Written beside and renamed, so that a reader never sees half of it.
    const std::wstring part = std::wstring(path) + L".part";
    FILE *file = _wfopen(part.c_str(), L"w");
    if (!file)
        return 2;
    std::fwprintf(file, L"show=%u flags=%lu\ncwd=%ls\nmodule=%ls\n", startup.wShowWindow, startup.dwFlags, cwd, winplat::moduleFileName().c_str());
    return std::fclose(file) == 0 && MoveFileExW(part.c_str(), path, MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}

int checks()
{
    // Each run style reaches the started program as its show state, in its folder.
    const std::wstring folder = L"C:\\vellomar checks", probe = folder + L"\\probe.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW(winplat::moduleFileName().c_str(), probe.c_str(), FALSE);
    const struct {
        int style;
        UINT show;
    } starts[] = {{0, SW_SHOWNORMAL}, {1, SW_HIDE}, {2, SW_SHOWMINNOACTIVE}, {3, SW_SHOWMAXIMIZED}};
    for (const auto [style, show] : starts) {
        const std::wstring report = folder + L"\\report" + std::to_wstring(style);
        SetEnvironmentVariableW(L"VELLOMAR_PROBE_REPORT", report.c_str());
        const winplat::Outcome outcome = winplat::startProgram(probe, L"", folder, style);
        for (int waited = 0; outcome.ok && waited < 30000 && !exists(report); waited += 50)
            Sleep(50); // the started probe runs on its own
        char text[512] = {};
        if (FILE *file = _wfopen(report.c_str(), L"r"))
            std::fread(text, 1, sizeof text - 1, file), std::fclose(file);
        const std::string got = text, want = "show=" + std::to_string(show) + " flags=1\ncwd=C:\\vellomar checks\n";
        check(got.starts_with(want), L"run style " + std::to_wstring(style), outcome.error + std::wstring(got.begin(), got.end()));
    }
    check(!winplat::startProgram(folder + L"\\missing.exe", L"", L"", 0).ok, L"a missing program", L"started");

    // The all-users Startup folder, and names that are no plain file name.
    wchar_t common[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, common);
    const winplat::Outcome made = winplat::createStartupShortcut(true, L"Rendaro", probe, L"", folder);
    check(made.ok && exists(std::wstring(common) + L"\\Rendaro.lnk"), L"all-users shortcut", made.error);
    for (const wchar_t *name : {L"", L"..\\Rendaro", L"NUL", L"com1", L"Rendaro."}) {
        const winplat::Outcome refused = winplat::createStartupShortcut(false, name, probe, L"", folder);
        check(!refused.ok && !refused.accessDenied, L"link name [" + std::wstring(name) + L"]", L"taken");
    }

    // Whose files the launcher trusts, judged in memory: Wine keeps no access
    // lists of its own, only what the Unix mode says. The start of the reason,
    // or nothing when trusted. SY SYSTEM, BA Administrators, BU Users,
    // AU Authenticated Users, WD Everyone; OICIIO: only for what a folder holds.
    const struct {
        const wchar_t *sddl, *why;
    } trust[] = {
        {L"O:SYD:P(A;;FA;;;BA)(A;;FR;;;WD)(A;OICIIO;FA;;;BU)(D;;FA;;;WD)", nullptr},
        {L"O:SYD:P(A;;0x4;;;AU)", L"NT AUTHORITY\\Authenticated Users may write"},
        {L"O:SYD:P(A;;0x40000;;;BU)", L"BUILTIN\\Users may write"},
        {L"O:BUD:P(A;;FA;;;SY)", L"it belongs to BUILTIN\\Users"},
        {L"O:SY", L"anyone may write"},
    };
    for (const auto &t : trust) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorW(t.sddl, SDDL_REVISION_1, &descriptor, nullptr);
        const auto why = winplat::untrustedDescriptorBecause(descriptor);
        LocalFree(descriptor);
        check(t.why ? why && why->starts_with(t.why) : !why, t.sddl, why.value_or(L"trusted"));
    }
    return failures ? 1 : 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    return argc > 1 && std::wstring(argv[1]) == L"--checks" ? checks() : report();
}
