#include "platform/windows/WinOutcome.h"

#include <windows.h>

#include <cwchar>

namespace winplat {

Outcome success()
{
    return {true, {}, false};
}

std::wstring systemMessage(unsigned long code)
{
    // An HRESULT that wraps a Win32 error is described by that error.
    const HRESULT asResult = static_cast<HRESULT>(code);
    if (HRESULT_FACILITY(asResult) == FACILITY_WIN32 && (code & 0x80000000u))
        code = HRESULT_CODE(asResult);

    wchar_t *buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text;
    if (length > 0 && buffer)
        text.assign(buffer, length);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) {
        wchar_t hex[32];
        std::swprintf(hex, 32, L"error 0x%08lX", code);
        text = hex;
    }
    return text;
}

Outcome failureFromWin32(const std::wstring &context, unsigned long win32Error)
{
    return {false, context + L": " + systemMessage(win32Error), win32Error == ERROR_ACCESS_DENIED, long(win32Error)};
}

Outcome failureFromHresult(const std::wstring &context, long hresult)
{
    return {false, context + L": " + systemMessage(static_cast<unsigned long>(hresult)), hresult == E_ACCESSDENIED,
            hresult};
}

} // namespace winplat
