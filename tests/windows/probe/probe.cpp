// The Windows test's helper, run under Wine:
//   probe.exe                        writes how it was started (show state, folder)
//                                    to the file named by VELLOMAR_PROBE_REPORT
//   probe.exe --link FILE.lnk        prints a shortcut's target, folder, arguments
//   probe.exe --everyone-writes PATH lets Everyone write to PATH
//   probe.exe --checks               the Windows code the end-to-end run cannot reach
#include "platform/windows/WinAppFolder.h"
#include "platform/windows/WinCom.h"
#include "platform/windows/WinShortcut.h"
#include "platform/windows/WinStart.h"
#include "platform/windows/WinTrust.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

int failures = 0, passes = 0;

void check(bool ok, const std::wstring &what, const std::wstring &got = {})
{
    ok ? ++passes : ++failures;
    std::wprintf(L"%ls %ls%ls%ls\n", ok ? L"PASS" : L"FAIL", what.c_str(), ok || got.empty() ? L"" : L": ", ok ? L"" : got.c_str());
}

bool exists(const std::wstring &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring readReport(const std::wstring &path)
{
    for (int waited = 0; waited < 30000 && !exists(path); waited += 50)
        Sleep(50); // the started probe runs on its own
    FILE *file = _wfopen(path.c_str(), L"r");
    char text[4096] = {};
    if (file) {
        std::fread(text, 1, sizeof text - 1, file);
        std::fclose(file);
    }
    return std::wstring(text, text + std::strlen(text));
}

int report()
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    wchar_t path[MAX_PATH] = {};
    GetEnvironmentVariableW(L"VELLOMAR_PROBE_REPORT", path, MAX_PATH);
    // Written beside and renamed, so that a reader never sees half of it.
    const std::wstring part = std::wstring(path) + L".part";
    FILE *file = _wfopen(part.c_str(), L"w");
    if (!file)
        return 2;
    std::fwprintf(file, L"show=%u flags=%lu\ncwd=%ls\nmodule=%ls\n", startup.wShowWindow, startup.dwFlags, cwd,
                  winplat::moduleFileName().c_str());
    return std::fclose(file) == 0 && MoveFileExW(part.c_str(), path, MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}

int printLink(const wchar_t *path)
{
    winplat::ComApartment com;
    winplat::ComRef<IShellLinkW> link;
    winplat::ComRef<IPersistFile> file;
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, arguments[MAX_PATH] = {};
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put()))
        || FAILED(link->QueryInterface(IID_IPersistFile, file.put())) || FAILED(file->Load(path, STGM_READ))
        || FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))
        || FAILED(link->GetWorkingDirectory(folder, MAX_PATH)) || FAILED(link->GetArguments(arguments, MAX_PATH)))
        return 1;
    std::wprintf(L"target=%ls\nfolder=%ls\narguments=%ls\n", target, folder, arguments);
    return 0;
}

// The judgement of the launcher's trust rule on a security descriptor given
// in SDDL, %U standing for this user.
std::optional<std::wstring> judge(std::wstring sddl)
{
    HANDLE token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    char buffer[256];
    DWORD size = sizeof buffer;
    GetTokenInformation(token, TokenUser, buffer, size, &size);
    CloseHandle(token);
    wchar_t *user = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer)->User.Sid, &user);
    for (std::size_t at; (at = sddl.find(L"%U")) != std::wstring::npos;)
        sddl.replace(at, 2, user);
    LocalFree(user);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return L"unreadable SDDL";
    auto why = winplat::untrustedDescriptorBecause(descriptor);
    LocalFree(descriptor);
    return why;
}

int everyoneWrites(const wchar_t *path)
{
    PACL dacl = nullptr, wider = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPLICIT_ACCESSW everyone = {};
    BuildExplicitAccessWithNameW(&everyone, const_cast<wchar_t *>(L"EVERYONE"), GENERIC_ALL, GRANT_ACCESS, 0);
    return GetNamedSecurityInfoW(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                                 &descriptor) != ERROR_SUCCESS
           || SetEntriesInAclW(1, &everyone, dacl, &wider) != ERROR_SUCCESS
           || SetNamedSecurityInfoW(const_cast<wchar_t *>(path), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, wider, nullptr) != ERROR_SUCCESS;
}

int checks(const std::wstring &self)
{
    const std::wstring work = L"C:\\vellomar-checks\\", spaced = work + L"dir with spaces";
    CreateDirectoryW(work.c_str(), nullptr);
    CreateDirectoryW(spaced.c_str(), nullptr);
    const std::wstring probe = spaced + L"\\probe.exe", decoy = work + L"dir.exe";
    CopyFileW(self.c_str(), probe.c_str(), FALSE);
    CopyFileW(self.c_str(), decoy.c_str(), FALSE);

    // Each run style reaches the started program as its show state; a path
    // with spaces never starts what its first word names.
    const struct { int style; UINT show; } starts[] = {{0, SW_SHOWNORMAL}, {1, SW_HIDE}, {2, SW_SHOWMINNOACTIVE},
                                                         {3, SW_SHOWMAXIMIZED}};
    for (const auto &s : starts) {
        const std::wstring report = work + L"start" + std::to_wstring(s.style) + L".txt";
        SetEnvironmentVariableW(L"VELLOMAR_PROBE_REPORT", report.c_str());
        const winplat::Outcome outcome = winplat::startProgram(probe, L"", spaced, s.style);
        const std::wstring text = outcome.ok ? readReport(report) : outcome.error;
        check(text.starts_with(L"show=" + std::to_wstring(s.show) + L" ")
                  && text.find(L"cwd=" + spaced + L"\n") != std::wstring::npos,
              L"run style " + std::to_wstring(s.style), text);
    }
    check(!winplat::startProgram(spaced + L"\\missing.exe", L"", L"", 0).ok && !exists(work + L"decoy.txt"),
          L"a missing program with spaces in its path starts nothing else");

    const struct { const wchar_t *path, *folder; } folders[] = {
        {L"C:\\Tools\\vellomar.exe", L"C:\\Tools\\"}, {L"C:\\vellomar.exe", L"C:\\"},
        {L"\\\\server\\share\\vellomar.exe", L"\\\\server\\share\\"}, {L"vellomar.exe", L""}};
    for (const auto &f : folders)
        check(winplat::folderOf(f.path) == f.folder, std::wstring(L"folder of ") + f.path, winplat::folderOf(f.path));

    // The all-users Startup folder, and names that are no plain file name.
    wchar_t common[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, common);
    winplat::ComApartment com;
    const winplat::Outcome made = winplat::createStartupShortcut(true, L"Rendaro", probe, L"", work);
    check(made.ok && exists(std::wstring(common) + L"\\Rendaro.lnk"), L"all-users shortcut", made.error);
    for (const wchar_t *name : {L"", L"..\\Rendaro", L"NUL", L"com1", L"Rendaro."}) {
        const winplat::Outcome refused = winplat::createStartupShortcut(false, name, probe, L"", work);
        check(!refused.ok && !refused.accessDenied, L"link name [" + std::wstring(name) + L"] refused", refused.error);
    }

    // Whose files the launcher trusts (Wine keeps no access lists of its own,
    // only what the Unix mode says, so they are judged in memory): the start
    // of the reason, or nothing when trusted. BU Users, AU Authenticated
    // Users, WD Everyone.
    const struct { const wchar_t *sddl, *why; } trust[] = {
        {L"O:%UD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;%U)(A;;FR;;;WD)", nullptr},
        {L"O:%UD:P(A;;FA;;;%U)(A;OICIIO;FA;;;BU)(D;;FA;;;WD)", nullptr},
        {L"O:%UD:P(A;;FA;;;%U)(A;;FA;;;WD)", L"Everyone may write"},
        {L"O:%UD:P(A;;FA;;;%U)(A;;0x4;;;AU)", L"NT AUTHORITY\\Authenticated Users may write"},
        {L"O:%UD:P(A;;FA;;;%U)(A;;0x40000;;;BU)", L"BUILTIN\\Users may write"},
        {L"O:BUD:P(A;;FA;;;%U)", L"it belongs to BUILTIN\\Users"},
        {L"O:%U", L"anyone may write"},
    };
    for (const auto &t : trust) {
        const auto why = judge(t.sddl);
        check(t.why ? why && why->starts_with(t.why) : !why, t.sddl, why.value_or(L"trusted"));
    }
    std::wprintf(L"%d passed, %d failed\n", passes, failures);
    return failures == 0 && passes > 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode.empty())
        return report();
    if (mode == L"--link" && argc == 3)
        return printLink(argv[2]);
    if (mode == L"--everyone-writes" && argc == 3)
        return everyoneWrites(argv[2]);
    if (mode == L"--checks")
        return checks(winplat::moduleFileName());
    std::fwprintf(stderr, L"usage: probe.exe [--link FILE | --everyone-writes PATH | --checks]\n");
    return 2;
}
