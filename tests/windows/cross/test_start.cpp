#include "TestLayout.h"

#include "platform/windows/WinStart.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

namespace {

// Arguments that need each of the quoting rules.
const std::vector<std::wstring> &awkwardArguments()
{
    static const std::vector<std::wstring> arguments = {
        L"plain",
        L"with space",
        L"",
        L"tab\there",
        L"quote\"inside",
        L"\"",
        L"trailing\\",
        L"trailing space\\",
        L"two\\\\ backslashes\\\\",
        L"back\\\"slash quote",
        L"back\\\\\"slashes quote",
        L"C:\\Program Files\\x.exe",
        L"\\\\server\\share\\",
        L"a&b|c<d>e^f%PATH%",
    };
    return arguments;
}

std::wstring joinQuoted(const std::vector<std::wstring> &arguments)
{
    std::wstring line;
    for (const std::wstring &argument : arguments)
        line += (line.empty() ? L"" : L" ") + winplat::quoteCommandLineArgument(argument);
    return line;
}

void testQuotingRoundTrip(Checks &checks)
{
    // Also a newline and a vertical tab, which cannot travel through the report.
    std::vector<std::wstring> arguments = awkwardArguments();
    arguments.push_back(L"line\nbreak");
    arguments.push_back(L"vertical\vtab");
    for (const std::wstring &argument : arguments) {
        const std::wstring line = L"\"C:\\dir with spaces\\p.exe\" " + winplat::quoteCommandLineArgument(argument);
        int count = 0;
        wchar_t **parsed = CommandLineToArgvW(line.c_str(), &count);
        const bool same = parsed && count == 2 && argument == parsed[1];
        checks.expect(same, L"quoted argument reads back: [" + argument + L"]",
                      L"command line [" + line + L"] gives " + std::to_wstring(count) + L" words");
        LocalFree(parsed);
    }
    checks.equal(winplat::quoteCommandLineArgument(L"plain"), L"plain", L"a plain argument is left as it is");
}

} // namespace

void testStart(Checks &checks, const TestLayout &layout)
{
    // A program that does not exist, beside the decoy: nothing else may start.
    winplat::Outcome outcome = winplat::startProgram(layout.spacedFolder + L"\\missing.exe", L"", L"", 0);
    checks.expect(!outcome.ok && !outcome.error.empty() && !outcome.accessDenied,
                  L"a missing program in a folder with spaces is not started", outcome.error);
    outcome = winplat::startProgram(L"", L"", L"", 0);
    checks.expect(!outcome.ok && !outcome.error.empty(), L"an empty path is refused", outcome.error);
    for (int style : {-1, 4}) {
        outcome = winplat::startProgram(layout.helper, L"", L"", style);
        checks.expect(!outcome.ok && !outcome.error.empty(), L"run style " + std::to_wstring(style) + L" refused",
                      outcome.error);
    }

    struct RunStyleCase {
        int style;
        const wchar_t *name;
        WORD show;
    };
    const RunStyleCase cases[] = {
        {0, L"Normal", SW_SHOWNORMAL},
        {1, L"Hide", SW_HIDE},
        {2, L"Min", SW_SHOWMINNOACTIVE},
        {3, L"Max", SW_SHOWMAXIMIZED},
    };
    for (const RunStyleCase &c : cases) {
        const std::wstring what = std::wstring(L"run style ") + c.name;
        HelperReport report = runHelper(checks, what, layout, layout.helper, L"", layout.spacedFolder, c.style);
        if (report.empty())
            continue;
        checks.equal(report[L"module"], layout.helper, what + L": the program itself ran");
        checks.equal(report[L"show"], std::to_wstring(c.show), what + L": show state");
        const unsigned long flags = std::stoul(L"0" + report[L"flags"]);
        checks.expect(flags & STARTF_USESHOWWINDOW, what + L": STARTF_USESHOWWINDOW set", report[L"flags"]);
        checks.equal(report[L"cwd"], layout.spacedFolder, what + L": working folder");
        checks.equal(report[L"commandline"], L"\"" + layout.helper + L"\"", what + L": command line");
        checks.equal(report[L"argc"], L"1", what + L": one word on the command line");
        checks.equal(report[L"arg0"], layout.helper, what + L": argv[0] is the whole path");
        checks.equal(report[L"crtarg0"], layout.helper, what + L": C runtime argv[0] is the whole path");
    }

    const std::vector<std::wstring> &arguments = awkwardArguments();
    HelperReport report = runHelper(checks, L"awkward arguments", layout, layout.helper, joinQuoted(arguments),
                                    layout.work, 0);
    if (!report.empty()) {
        const std::wstring count = std::to_wstring(arguments.size() + 1);
        checks.equal(report[L"argc"], count, L"awkward arguments: CommandLineToArgvW word count");
        checks.equal(report[L"crtargc"], count, L"awkward arguments: C runtime word count");
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const std::wstring key = std::to_wstring(i + 1);
            checks.expect(report[L"arg" + key] == arguments[i] && report[L"crtarg" + key] == arguments[i],
                          L"awkward arguments: word " + key + L" [" + arguments[i] + L"]",
                          L"got [" + report[L"arg" + key] + L"] and from the C runtime [" + report[L"crtarg" + key]
                              + L"]");
        }
    }

    report = runHelper(checks, L"no working folder given", layout, layout.helper, L"", L"", 1);
    if (!report.empty()) {
        wchar_t own[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, own);
        checks.equal(report[L"cwd"], own, L"no working folder given: the caller's folder is kept");
    }

    testQuotingRoundTrip(checks);

    // Every start above is done and reported; the decoy never was started.
    checks.expect(GetFileAttributesW(layout.decoyReport.c_str()) == INVALID_FILE_ATTRIBUTES,
                  L"the decoy " + layout.decoy + L" was never started");
}
