#include "platform/windows/WinStartupApproved.h"

#include <windows.h>

namespace winplat {

namespace {

constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

HKEY rootKey(bool allUsers)
{
    return allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

} // namespace

bool startupItemSwitchedOff(bool allUsers, const std::wstring &fileName)
{
    BYTE data[64] = {};
    DWORD size = sizeof data;
    const LSTATUS status =
        RegGetValueW(rootKey(allUsers), kKey, fileName.c_str(), RRF_RT_REG_BINARY, nullptr, data, &size);
    return status == ERROR_SUCCESS && size > 0 && (data[0] & 1) != 0;
}

Outcome switchOnStartupItem(bool allUsers, const std::wstring &fileName)
{
    if (!startupItemSwitchedOff(allUsers, fileName))
        return success();
    const BYTE on[12] = {2};
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(rootKey(allUsers), kKey, 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, fileName.c_str(), 0, REG_BINARY, on, sizeof on);
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS)
        return failureFromWin32(L"cannot switch " + fileName + L" on", static_cast<unsigned long>(status));
    return success();
}

} // namespace winplat
