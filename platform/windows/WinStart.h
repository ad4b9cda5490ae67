#pragma once

#include "platform/windows/WinOutcome.h"

#include <string>

namespace winplat {

// Starts the program file path itself (never a search: "C:\Program Files\x.exe"
// cannot turn into "C:\Program.exe") and does not wait for it. arguments is
// the rest of the command line after the program, quoted as the program
// expects; workingFolder empty keeps this process's. runStyle: 0 Normal,
// 1 Hide, 2 Min, 3 Max, handed to the program
// as its window show state (SW_SHOWNORMAL, SW_HIDE, SW_SHOWMINNOACTIVE,
// SW_SHOWMAXIMIZED). A console program gets its own console in that state.
// *processId, when given, receives the started process's id.
// One argument as the C runtime and CommandLineToArgvW read it back: as it
// is where it holds no blank, tab or quote, else in quotes, with each quote
// and the backslashes before it (or before the closing quote) escaped.
std::wstring quoteArgument(const std::wstring &argument);

Outcome startProgram(const std::wstring &path, const std::wstring &arguments, const std::wstring &workingFolder,
                     int runStyle, unsigned long *processId = nullptr);

} // namespace winplat
