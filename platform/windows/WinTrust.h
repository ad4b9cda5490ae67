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

// The same judgement on a security descriptor (SECURITY_DESCRIPTOR) that
// holds an owner and an access list.
std::optional<std::wstring> untrustedDescriptorBecause(void *securityDescriptor);

} // namespace winplat
