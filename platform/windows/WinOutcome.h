#pragma once

#include <string>

namespace winplat {

// What a Windows operation came to: done, or not and why.
struct Outcome {
    bool ok = false;
    std::wstring error;        // the system's text for the failure, when !ok
    bool accessDenied = false; // the failure was E_ACCESSDENIED / ERROR_ACCESS_DENIED
    long code = 0;             // the Win32 error or HRESULT, when the system gave one
};

Outcome success();

// A failure described as "<context>: <system text for the code>".
Outcome failureFromWin32(const std::wstring &context, unsigned long win32Error);
Outcome failureFromHresult(const std::wstring &context, long hresult);

// The system's text for a Win32 error code or an HRESULT, without the line
// end FormatMessageW puts after it; the code in hex where the system has no
// text for it.
std::wstring systemMessage(unsigned long code);

} // namespace winplat
