#pragma once

#include <optional>
#include <string>

namespace winplat {

// Why the file or folder at path must not be trusted with this user's logon:
// it belongs to someone other than this user, SYSTEM, Administrators or
// TrustedInstaller, or its access list lets anyone else write to it, change
// its permissions or take it over (a missing access list lets everyone).
// Nothing when it is safe.
std::optional<std::wstring> untrustedBecause(const std::wstring &path);

// Why a folder further up the way to a program must not be trusted: it
// belongs to someone other than those accounts, or its access list lets
// anyone else rename, replace or remove it or what it holds (adding new
// entries, which every user may do at a drive's root, is no threat).
std::optional<std::wstring> untrustedAncestorBecause(const std::wstring &path);

// The same judgements on a security descriptor (SECURITY_DESCRIPTOR) that
// holds an owner and an access list: for a file or its own folder, or
// (ancestor) for a folder further up.
std::optional<std::wstring> untrustedDescriptorBecause(void *securityDescriptor, bool ancestor = false);

} // namespace winplat
