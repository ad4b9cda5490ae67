#include "platform/windows/WinStart.h"

#include <windows.h>

#include <optional>

namespace winplat {

namespace {

std::optional<WORD> showCommandFor(int runStyle)
{
    switch (runStyle) {
    case 0:
        return SW_SHOWNORMAL;
    case 1:
        return SW_HIDE;
    case 2:
        return SW_SHOWMINNOACTIVE;
    case 3:
        return SW_SHOWMAXIMIZED;
    }
    return std::nullopt;
}

// The longest command line CreateProcessW takes, with its terminating null.
constexpr std::size_t kMaxCommandLine = 32767;

} // namespace

std::wstring quoteArgument(const std::wstring &argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L'"';
}

Outcome startProgram(const std::wstring &path, const std::wstring &arguments, const std::wstring &workingFolder,
                     int runStyle, unsigned long *processId)
{
    const std::optional<WORD> show = showCommandFor(runStyle);
    if (!show)
        return {false, L"unknown run style " + std::to_wstring(runStyle), false};
    if (path.empty() || path.find(L'"') != std::wstring::npos)
        return {false, L"\"" + path + L"\" is not a program path", false};

    // The first word of the command line is the program, always in quotes; a
    // path holds no quote, and argv[0] is read without backslash escapes.
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    if (commandLine.size() >= kMaxCommandLine)
        return {false, L"the command line for " + path + L" is too long", false};

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = *show;
    PROCESS_INFORMATION process = {};
    // CreateProcessW may write into the command line, so it gets its own copy.
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process))
        return failureFromWin32(L"cannot start " + path, GetLastError());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (processId)
        *processId = process.dwProcessId;
    return success();
}

} // namespace winplat
