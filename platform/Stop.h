#pragma once

#include <QString>

#include <chrono>

namespace platform {

// A long-running program's way to be asked to end: a termination signal
// (SIGTERM, SIGHUP, SIGINT; on Windows the console's close and log-off
// events) or another thread's word that the session is over. A sleep
// through sleepUnlessStopped() ends as soon as either arrives.

// Catches the termination signals from now on. Call it once, early in main.
void catchStopRequests();

// Asks the program to end, from any thread; the first reason given stays.
void requestStop(const QString &why);

// Why the program was asked to end, or an empty string while it was not.
QString stopRequested();

// Sleeps for span, or less when a stop is asked for meanwhile.
void sleepUnlessStopped(std::chrono::milliseconds span);

} // namespace platform
