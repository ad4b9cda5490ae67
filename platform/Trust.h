#pragma once

#include <QString>

#include <optional>

namespace platform {

// Why a file or folder must not be trusted with this user's logon: it
// belongs to someone other than this user and root, or its group or other
// users may write to it (the rule of OpenSSH's StrictModes). On Windows: it
// belongs to someone other than this user, SYSTEM, Administrators and
// TrustedInstaller, or its access list lets anyone else write to it. Nothing
// when it is safe, or on a system without such permissions.
std::optional<QString> untrustedBecause(const QString &path);

} // namespace platform
