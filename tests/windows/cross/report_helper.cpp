// Started by the tests through startProgram: writes how it was started (show
// state, command line, folders) into the file named by VELLOMAR_HELPER_REPORT.
#include "HelperReport.h"
#include "platform/windows/WinAppFolder.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

std::wstring currentFolder()
{
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

bool writeWholeFile(const std::wstring &path, const std::wstring &text)
{
    // Written beside and renamed, so a reader never sees half a report.
    const std::wstring part = path + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const bool ok = WriteFile(file, text.data(), bytes, &written, nullptr) && written == bytes;
    CloseHandle(file);
    return ok && MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    std::wstring reportPath(32768, L'\0');
    reportPath.resize(GetEnvironmentVariableW(kHelperReportVariable, reportPath.data(),
                                              static_cast<DWORD>(reportPath.size())));
    if (reportPath.empty())
        return 2;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);

    HelperReport report;
    report[L"module"] = winplat::moduleFileName();
    report[L"folder"] = winplat::applicationFolder();
    report[L"flags"] = std::to_wstring(startup.dwFlags);
    report[L"show"] = std::to_wstring(startup.wShowWindow);
    report[L"cwd"] = currentFolder();
    report[L"commandline"] = GetCommandLineW();

    int shellArgc = 0;
    if (wchar_t **shellArgv = CommandLineToArgvW(GetCommandLineW(), &shellArgc)) {
        report[L"argc"] = std::to_wstring(shellArgc);
        for (int i = 0; i < shellArgc; ++i)
            report[L"arg" + std::to_wstring(i)] = shellArgv[i];
        LocalFree(shellArgv);
    }
    report[L"crtargc"] = std::to_wstring(argc);
    for (int i = 0; i < argc; ++i)
        report[L"crtarg" + std::to_wstring(i)] = argv[i];

    return writeWholeFile(reportPath, formatHelperReport(report)) ? 0 : 3;
}
