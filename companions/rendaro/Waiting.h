#pragma once

#include "companions/rendaro/Clock.h"

#include <QDate>
#include <QDateTime>

#include <chrono>

namespace rendaro {

// The longest nap between two looks at the wall clock, so that a suspend or
// a change of the clock is noticed within a minute.
inline constexpr std::chrono::milliseconds kLongestNap{60'000};

// How long to sleep before looking at the clock again: up to the target,
// never longer than kLongestNap, nothing when the target has passed.
std::chrono::milliseconds nextNap(const QDateTime &now, const QDateTime &target);

enum class WaitOutcome { Due, Midnight };

// Sleeps until the clock reaches target (Due), or until the day is over
// (Midnight), whichever the clock shows first.
WaitOutcome waitUntil(Clock &clock, const QDateTime &target, QDate day);

} // namespace rendaro
