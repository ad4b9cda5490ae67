#include "platform/windows/WinTrust.h"

#include "platform/windows/WinOutcome.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

namespace winplat {

namespace {

// What lets an account change what a file holds or who may change it.
constexpr ACCESS_MASK kWriteAccess =
    FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// What lets an account rename, replace or remove a folder or what it holds.
constexpr ACCESS_MASK kReplaceAccess = FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL;

struct LocalFreer {
    void operator()(void *p) const { LocalFree(p); }
};
using LocalPtr = std::unique_ptr<void, LocalFreer>;

LocalPtr sidFromString(const wchar_t *text)
{
    PSID sid = nullptr;
    ConvertStringSidToSidW(text, &sid);
    return LocalPtr(sid);
}

LocalPtr currentUserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    LocalPtr copy;
    if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        const PSID sid = reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid;
        const DWORD length = GetLengthSid(sid);
        copy.reset(LocalAlloc(LMEM_FIXED, length));
        if (copy && !CopySid(length, copy.get(), sid))
            copy.reset();
    }
    CloseHandle(token);
    return copy;
}

// The accounts a user's own files may belong to and be writable by.
class TrustedAccounts
{
public:
    TrustedAccounts()
    {
        m_sids.push_back(currentUserSid());
        for (const wchar_t *sid :
             {L"S-1-5-18",                                                       // SYSTEM
              L"S-1-5-32-544",                                                   // Administrators
              L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", // TrustedInstaller
              L"S-1-3-4"}) // OWNER RIGHTS: the owner, checked on its own
            m_sids.push_back(sidFromString(sid));
    }

    bool contains(PSID sid) const
    {
        for (const LocalPtr &trusted : m_sids)
            if (trusted && EqualSid(trusted.get(), sid))
                return true;
        return false;
    }

private:
    std::vector<LocalPtr> m_sids;
};

std::wstring accountName(PSID sid)
{
    wchar_t name[256] = {};
    wchar_t domain[256] = {};
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use;
    if (LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use) && name[0])
        return domain[0] ? std::wstring(domain) + L"\\" + name : std::wstring(name);
    wchar_t *text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return L"an unknown account";
    std::wstring result = text;
    LocalFree(text);
    return result;
}

} // namespace

namespace {

std::optional<std::wstring> untrustedPathBecause(const std::wstring &path, bool ancestor)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error =
        GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &descriptor);
    if (error != ERROR_SUCCESS)
        return L"its permissions cannot be read: " + systemMessage(error);
    const LocalPtr holder(descriptor);
    return untrustedDescriptorBecause(descriptor, ancestor);
}

} // namespace

std::optional<std::wstring> untrustedBecause(const std::wstring &path)
{
    return untrustedPathBecause(path, false);
}

std::optional<std::wstring> untrustedAncestorBecause(const std::wstring &path)
{
    return untrustedPathBecause(path, true);
}

std::optional<std::wstring> untrustedDescriptorBecause(void *descriptor, bool ancestor)
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL defaulted = FALSE;
    BOOL present = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted)
        || !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted))
        return std::wstring(L"its permissions cannot be read");
    if (!present)
        dacl = nullptr; // without an access list, as with a NULL one, everyone may do anything
    const TrustedAccounts trusted;
    if (!owner || !trusted.contains(owner))
        return L"it belongs to " + (owner ? accountName(owner) : std::wstring(L"nobody"));
    if (!dacl)
        return std::wstring(L"anyone may write to it (it has no access control list)");

    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACE_HEADER *header = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void **>(&header)))
            return std::wstring(L"its access control list cannot be read");
        // Entries that only pass on to what the folder will hold do not apply to it.
        if (header->AceFlags & INHERIT_ONLY_ACE)
            continue;
        PSID sid = nullptr;
        ACCESS_MASK mask = 0;
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            auto *ace = reinterpret_cast<ACCESS_ALLOWED_ACE *>(header);
            sid = &ace->SidStart;
            mask = ace->Mask;
        } else if (header->AceType == ACCESS_ALLOWED_CALLBACK_ACE_TYPE) {
            auto *ace = reinterpret_cast<ACCESS_ALLOWED_CALLBACK_ACE *>(header);
            sid = &ace->SidStart;
            mask = ace->Mask;
        } else {
            continue; // denying entries only take rights away
        }
        if ((mask & (ancestor ? kReplaceAccess : kWriteAccess)) && !trusted.contains(sid))
            return accountName(sid) + (ancestor ? L" may rename or remove what it holds" : L" may write to it");
    }
    return std::nullopt;
}

} // namespace winplat
