#include "platform/windows/WinShortcut.h"

#include "platform/windows/WinCom.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <string_view>

namespace winplat {

namespace {

// "NUL.lnk" and the like name a device, not a file: a shortcut saved there
// would be lost while the save reports success.
bool isDeviceName(std::wstring_view name)
{
    std::wstring upper;
    for (wchar_t c : name.substr(0, name.find(L'.')))
        upper += (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c;
    for (const wchar_t *device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (upper == device)
            return true;
    return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) && upper[3] >= L'0'
           && upper[3] <= L'9';
}

bool isPlainFileName(const std::wstring &name)
{
    if (name.empty() || name == L"." || name == L".." || isDeviceName(name))
        return false;
    for (wchar_t c : name) {
        if (c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            return false;
    }
    return name.back() != L' ' && name.back() != L'.';
}

// The path of linkName.lnk in a Startup folder, which is made where it is missing and create is set.
HRESULT startupShortcutPath(bool allUsers, const std::wstring &linkName, bool create, std::wstring &path)
{
    wchar_t folder[MAX_PATH] = {};
    const int which = allUsers ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP;
    const HRESULT hr =
        SHGetFolderPathW(nullptr, which | (create ? CSIDL_FLAG_CREATE : 0), nullptr, SHGFP_TYPE_CURRENT, folder);
    path = folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    path += linkName + L".lnk";
    return hr;
}

} // namespace

Outcome createStartupShortcut(bool allUsers, const std::wstring &linkName, const std::wstring &target,
                              const std::wstring &arguments, const std::wstring &workingFolder)
{
    if (!isPlainFileName(linkName))
        return {false, L"\"" + linkName + L"\" is not a valid shortcut name", false};

    ComApartment apartment;
    if (!apartment.usable())
        return failureFromHresult(L"cannot start COM", apartment.result());

    std::wstring linkPath;
    HRESULT hr = startupShortcutPath(allUsers, linkName, true, linkPath);
    if (FAILED(hr))
        return failureFromHresult(L"cannot find the Startup folder", hr);

    ComRef<IShellLinkW> link;
    hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put());
    if (FAILED(hr))
        return failureFromHresult(L"cannot create a shortcut object", hr);
    if (FAILED(hr = link->SetPath(target.c_str())))
        return failureFromHresult(L"cannot set the shortcut's target " + target, hr);
    if (FAILED(hr = link->SetArguments(arguments.c_str())))
        return failureFromHresult(L"cannot set the shortcut's arguments", hr);
    if (FAILED(hr = link->SetWorkingDirectory(workingFolder.c_str())))
        return failureFromHresult(L"cannot set the shortcut's working folder " + workingFolder, hr);

    ComRef<IPersistFile> file;
    if (FAILED(hr = link->QueryInterface(IID_IPersistFile, file.put())))
        return failureFromHresult(L"cannot save a shortcut object", hr);
    if (FAILED(hr = file->Save(linkPath.c_str(), TRUE)))
        return failureFromHresult(L"cannot write " + linkPath, hr);
    return success();
}

StartupShortcut readStartupShortcut(bool allUsers, const std::wstring &linkName)
{
    StartupShortcut shortcut;
    ComApartment apartment;
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    wchar_t target[MAX_PATH] = {};
    if (!apartment.usable() || FAILED(startupShortcutPath(allUsers, linkName, false, shortcut.path))
        || GetFileAttributesW(shortcut.path.c_str()) == INVALID_FILE_ATTRIBUTES
        || FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put()))
        || FAILED(link->QueryInterface(IID_IPersistFile, file.put()))
        || FAILED(file->Load(shortcut.path.c_str(), STGM_READ))
        || link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK)
        return shortcut;
    shortcut.target = target;
    return shortcut;
}

} // namespace winplat
