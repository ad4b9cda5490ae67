#include "TestLayout.h"

#include "platform/windows/WinCom.h"
#include "platform/windows/WinShortcut.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

namespace {

std::wstring startupFolder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return {};
    return folder;
}

struct LinkFields {
    bool loaded = false;
    std::wstring target;
    std::wstring workingFolder;
    std::wstring arguments;
};

// Reads a shortcut back the way the shell does.
LinkFields readLink(const std::wstring &path)
{
    LinkFields fields;
    winplat::ComRef<IShellLinkW> link;
    winplat::ComRef<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put()))
        || FAILED(link->QueryInterface(IID_IPersistFile, file.put()))
        || FAILED(file->Load(path.c_str(), STGM_READ)))
        return fields;
    wchar_t text[INFOTIPSIZE] = {};
    fields.loaded = SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
    fields.target = text;
    text[0] = 0;
    fields.loaded = fields.loaded && SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH));
    fields.workingFolder = text;
    text[0] = 0;
    fields.loaded = fields.loaded && SUCCEEDED(link->GetArguments(text, INFOTIPSIZE));
    fields.arguments = text;
    return fields;
}

void expectLink(Checks &checks, const std::wstring &what, const std::wstring &path, const std::wstring &target,
                const std::wstring &workingFolder, const std::wstring &arguments)
{
    const LinkFields fields = readLink(path);
    if (!checks.expect(fields.loaded, what + L": " + path + L" reads back as a shortcut"))
        return;
    checks.equal(fields.target, target, what + L": target");
    checks.equal(fields.workingFolder, workingFolder, what + L": working folder");
    checks.equal(fields.arguments, arguments, what + L": arguments");
}

bool writeJunk(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, "not a shortcut", 14, &written, nullptr);
    CloseHandle(file);
    return written == 14;
}

} // namespace

void testShortcuts(Checks &checks, const TestLayout &layout)
{
    const std::wstring userFolder = startupFolder(CSIDL_STARTUP);
    const std::wstring commonFolder = startupFolder(CSIDL_COMMON_STARTUP);
    if (!checks.expect(!userFolder.empty() && !commonFolder.empty() && userFolder != commonFolder,
                       L"the user's and all users' Startup folders are known and differ",
                       userFolder + L" | " + commonFolder))
        return;
    const std::wstring userLink = userFolder + L"\\Rendaro.lnk";
    const std::wstring commonLink = commonFolder + L"\\Rendaro.lnk";

    DeleteFileW(userLink.c_str());
    DeleteFileW(commonLink.c_str());
    winplat::Outcome outcome = winplat::createStartupShortcut(false, L"Rendaro", layout.helper, L"", layout.work);
    checks.expect(outcome.ok, L"user shortcut created", outcome.error);
    expectLink(checks, L"user shortcut", userLink, layout.helper, layout.work, L"");
    checks.expect(!readLink(commonLink).loaded, L"user shortcut: nothing written for all users");

    outcome = winplat::createStartupShortcut(false, L"Rendaro", layout.rootHelper, L"", layout.spacedFolder);
    checks.expect(outcome.ok, L"user shortcut replaced", outcome.error);
    expectLink(checks, L"replaced shortcut", userLink, layout.rootHelper, layout.spacedFolder, L"");

    checks.expect(writeJunk(commonLink), L"a file that is no shortcut lies where the all-users one goes");
    outcome = winplat::createStartupShortcut(true, L"Rendaro", layout.helper, L"", layout.spacedFolder);
    checks.expect(outcome.ok, L"all-users shortcut created over it", outcome.error);
    expectLink(checks, L"all-users shortcut", commonLink, layout.helper, layout.spacedFolder, L"");

    outcome = winplat::createStartupShortcut(false, L"Rendaro check", layout.helper, L"--list --at \"x y\"",
                                             layout.work);
    checks.expect(outcome.ok, L"shortcut with arguments created", outcome.error);
    expectLink(checks, L"shortcut with arguments", userFolder + L"\\Rendaro check.lnk", layout.helper, layout.work,
               L"--list --at \"x y\"");

    // Names with a folder in them, characters Windows refuses, device names.
    for (const std::wstring name : {L"", L"..", L"..\\Rendaro", L"sub/Rendaro", L"C:Rendaro", L"Ren*daro",
                                    L"Rendaro.", L"NUL", L"com1", L"Con.txt"}) {
        outcome = winplat::createStartupShortcut(false, name, layout.helper, L"", layout.work);
        checks.expect(!outcome.ok && !outcome.accessDenied && !outcome.error.empty(),
                      L"link name [" + name + L"] refused", outcome.error);
    }

    // A name Windows will not let anybody write (a folder holds it): the
    // failure says access is denied and names the file.
    const std::wstring blocked = userFolder + L"\\Blocked.lnk";
    CreateDirectoryW(blocked.c_str(), nullptr);
    outcome = winplat::createStartupShortcut(false, L"Blocked", layout.helper, L"", layout.work);
    checks.expect(!outcome.ok && outcome.accessDenied, L"unwritable shortcut: failure with access denied",
                  outcome.error);
    checks.expect(outcome.error.find(blocked) != std::wstring::npos, L"unwritable shortcut: the error names the file",
                  outcome.error);
}
