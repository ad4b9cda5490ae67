#include "TestLayout.h"

#include "platform/windows/WinAppFolder.h"
#include "platform/windows/WinOutcome.h"

#include <windows.h>

void testApplicationFolder(Checks &checks, const TestLayout &layout)
{
    const struct {
        const wchar_t *path;
        const wchar_t *folder;
    } cases[] = {
        {L"C:\\Tools\\vellomar.exe", L"C:\\Tools\\"},
        {L"C:\\vellomar.exe", L"C:\\"},
        {L"C:\\Program Files\\Vellomar\\vellomar.exe", L"C:\\Program Files\\Vellomar\\"},
        {L"C:\\Tools\\\\vellomar.exe", L"C:\\Tools\\"},
        {L"\\\\server\\share\\vellomar.exe", L"\\\\server\\share\\"},
        {L"\\\\?\\C:\\vellomar.exe", L"\\\\?\\C:\\"},
        {L"vellomar.exe", L""},
    };
    for (const auto &c : cases)
        checks.equal(winplat::folderOf(c.path), c.folder, std::wstring(L"folder of ") + c.path);

    const std::wstring folder = winplat::applicationFolder();
    checks.expect(folder.size() >= 3 && folder.back() == L'\\' && folder[folder.size() - 2] != L'\\',
                  L"application folder ends in one backslash", folder);
    checks.expect(GetFileAttributesW((folder + L"winplat_tests.exe").c_str()) != INVALID_FILE_ATTRIBUTES,
                  L"application folder holds this program", folder);
    const std::wstring full = winplat::moduleFileName();
    checks.equal(winplat::moduleFileName(4), full, L"module path read through a buffer that has to grow");
    checks.equal(winplat::moduleFileName(static_cast<unsigned>(full.size())), full,
                 L"module path read through a buffer one character short");

    HelperReport report = runHelper(checks, L"helper in a folder with spaces", layout, layout.helper, L"",
                                    layout.spacedFolder, 1);
    if (!report.empty())
        checks.equal(report[L"folder"], layout.spacedFolder + L"\\", L"application folder of the helper");
    report = runHelper(checks, L"helper at the root of C:", layout, layout.rootHelper, L"", L"C:\\", 1);
    if (!report.empty())
        checks.equal(report[L"folder"], L"C:\\", L"application folder at a drive's root");
}

void testMessages(Checks &checks)
{
    const std::wstring denied = winplat::systemMessage(ERROR_ACCESS_DENIED);
    checks.expect(!denied.empty() && denied.rfind(L"error 0x", 0) != 0 && denied.back() != L'\n',
                  L"the system's text for access denied", denied);
    checks.equal(winplat::systemMessage(static_cast<unsigned long>(E_ACCESSDENIED)), denied,
                 L"E_ACCESSDENIED reads as the Win32 error it wraps");
    const winplat::Outcome outcome = winplat::failureFromWin32(L"cannot start x", ERROR_FILE_NOT_FOUND);
    checks.expect(!outcome.ok && !outcome.accessDenied && outcome.error.rfind(L"cannot start x: ", 0) == 0,
                  L"a failure names its context", outcome.error);
}
