#pragma once

#include "base/Result.h"

#include <QString>
#include <QStringList>

class QFile;

namespace platform {

// Whether a file or folder may be trusted with this user's logon; refused
// (denied, with why) when it belongs to someone other than this user and
// root, or its group or other users may write to it (the rule of OpenSSH's
// StrictModes). On Windows: when it belongs to someone other than this user,
// SYSTEM, Administrators and TrustedInstaller, or its access list lets
// anyone else write to it. Each system's answer is in a file of its own
// (UnixTrust.cpp, WindowsTrust.cpp).
base::Result<> checkTrust(const QString &path);

// The same rule for a file this process has open, checked on the open file
// itself so that nothing can be swapped in between the check and the read.
base::Result<> checkTrust(const QFile &file);

// Whether two paths name the same file, however they reach it (links,
// another spelling of the folder, a second hard link).
bool sameFile(const QString &a, const QString &b);

// The real path of the program file at path (links resolved), which the
// launcher starts at logon; or, denied, why it must not start it: it is one
// of ownPrograms (file names in this executable's folder: the launcher
// itself and its companions, which would start the schedule over and over),
// or others may change it, one of the folders that hold it, or a link on
// its path (a link of another user's may be pointed anywhere at any time).
base::Result<QString> startableProgram(const QString &path, const QStringList &ownPrograms);

} // namespace platform
