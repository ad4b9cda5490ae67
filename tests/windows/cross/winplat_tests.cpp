// Exercises the Windows-only platform code for real, under Windows or Wine:
//   winplat_tests.exe <path of report_helper.exe>
// Prints one PASS/FAIL line per check and a summary; exit code 0 when all pass.
#include "TestLayout.h"

#include "platform/windows/WinStart.h"

#include <windows.h>

#include <objbase.h>

#include <cstdio>

namespace {

std::wstring readWholeFile(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::wstring text(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    text.resize(read / sizeof(wchar_t));
    return text;
}

bool exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool setUp(const std::wstring &helperSource, TestLayout &layout)
{
    layout.work = L"C:\\vellomar-tests\\";
    layout.spacedFolder = layout.work + L"dir with spaces";
    layout.helper = layout.spacedFolder + L"\\helper.exe";
    layout.decoy = layout.work + L"dir.exe";
    layout.rootHelper = L"C:\\helper-at-root.exe";
    layout.decoyReport = layout.work + L"decoy-report.txt";
    CreateDirectoryW(layout.work.c_str(), nullptr);
    CreateDirectoryW(layout.spacedFolder.c_str(), nullptr);
    SetEnvironmentVariableW(kHelperReportVariable, layout.decoyReport.c_str());
    return CopyFileW(helperSource.c_str(), layout.helper.c_str(), FALSE)
           && CopyFileW(helperSource.c_str(), layout.decoy.c_str(), FALSE)
           && CopyFileW(helperSource.c_str(), layout.rootHelper.c_str(), FALSE);
}

} // namespace

HelperReport runHelper(Checks &checks, const std::wstring &what, const TestLayout &layout,
                       const std::wstring &program, const std::wstring &arguments,
                       const std::wstring &workingFolder, int runStyle)
{
    static int runs = 0;
    const std::wstring report = layout.work + L"report-" + std::to_wstring(++runs) + L".txt";
    SetEnvironmentVariableW(kHelperReportVariable, report.c_str());
    const winplat::Outcome outcome = winplat::startProgram(program, arguments, workingFolder, runStyle);
    // Anything started by mistake later reports to the decoy's file.
    SetEnvironmentVariableW(kHelperReportVariable, layout.decoyReport.c_str());
    if (!checks.expect(outcome.ok, what + L": started", outcome.error))
        return {};
    // The helper runs on its own; give it ample time to write its report.
    for (int waited = 0; waited < 30000 && !exists(report); waited += 20)
        Sleep(20);
    HelperReport result = parseHelperReport(readWholeFile(report));
    checks.expect(!result.empty(), what + L": the helper reported");
    return result;
}

int wmain(int argc, wchar_t **argv)
{
    Checks checks;
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: winplat_tests.exe <report_helper.exe>\n");
        return 2;
    }
    TestLayout layout;
    if (!checks.expect(setUp(argv[1], layout), L"copy the helper into the test folders"))
        return checks.summary();

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    checks.group(L"Startup shortcuts");
    testShortcuts(checks, layout);
    checks.group(L"Starting programs");
    testStart(checks, layout);
    checks.group(L"Application folder");
    testApplicationFolder(checks, layout);
    checks.group(L"Error texts");
    testMessages(checks);
    CoUninitialize();
    return checks.summary();
}
