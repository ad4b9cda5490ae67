#pragma once

// Windows only: the one place where an outcome of the Win32 side, which is
// kept free of Qt, becomes a vellomar::Result.

#include "platform/Result.h"
#include "platform/windows/WinOutcome.h"

namespace platform {

inline vellomar::Result<void> fromOutcome(const winplat::Outcome &outcome)
{
    if (outcome.ok)
        return {};
    return vellomar::Failure{QString::fromStdWString(outcome.error), int(outcome.code), outcome.accessDenied};
}

} // namespace platform
