#pragma once

#include "companions/rendaro/Clock.h"

#include <QDateTime>

#include <chrono>

namespace rendaro {

// The longest nap between two looks at the wall clock, so that a suspend or
// a change of the clock is noticed within a minute.
inline constexpr std::chrono::milliseconds kLongestNap{60'000};

// How long to sleep before looking at the clock again: up to the target,
// never longer than kLongestNap, nothing when the target has passed.
std::chrono::milliseconds nextNap(const QDateTime &now, const QDateTime &target);

} // namespace rendaro
