#pragma once

// Windows only: the one place where an outcome of the Win32 side, which is
// kept free of Qt, becomes a base::Result.

#include "base/Result.h"
#include "platform/windows/WinOutcome.h"

namespace platform {

inline base::Result<void> fromOutcome(const winplat::Outcome &outcome)
{
    if (outcome.ok)
        return {};
    return base::Failure{QString::fromStdWString(outcome.error), int(outcome.code), outcome.accessDenied};
}

} // namespace platform
