#pragma once

#include <map>
#include <string>

// What report_helper.exe writes about how it was started, as "key=value"
// lines: module, folder, flags, show, cwd, commandline, argc, arg0..argN
// (CommandLineToArgvW), crtargc, crtarg0..crtargN (the C runtime's argv).
// The file it writes is named by this environment variable.
inline constexpr const wchar_t *kHelperReportVariable = L"VELLOMAR_HELPER_REPORT";

using HelperReport = std::map<std::wstring, std::wstring>;

inline std::wstring formatHelperReport(const HelperReport &report)
{
    std::wstring text;
    for (const auto &[key, value] : report)
        text += key + L"=" + value + L"\n";
    return text;
}

inline HelperReport parseHelperReport(const std::wstring &text)
{
    HelperReport report;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = text.substr(start, end - start);
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos)
            report[line.substr(0, equals)] = line.substr(equals + 1);
        start = end + 1;
    }
    return report;
}
