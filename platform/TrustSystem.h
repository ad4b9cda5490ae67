#pragma once

// The parts of the trust rules that each system answers in its own way: in
// UnixTrust.cpp and WindowsTrust.cpp.

#include "base/Result.h"

#include <QString>

namespace platform::trust {

// Why a folder that holds a program must not be trusted; own: the program's
// own folder, rather than one further up.
base::Result<> folderTrusted(const QString &folder, bool own);

// The real path of path, its links resolved; or, denied, why it must not be
// trusted on the way.
base::Result<QString> resolveTrusted(const QString &path);

// A refusal, on purpose, because something is not safe.
inline base::Failure refused(const QString &why)
{
    return base::Failure{why, 0, true};
}

} // namespace platform::trust
