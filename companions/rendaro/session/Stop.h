#pragma once

#include <QMutex>
#include <QString>

#include <atomic>
#include <chrono>

namespace rendaro {

// A long-running program's word that it is to end: a termination signal
// (SIGTERM, SIGHUP, SIGINT; on Windows the console's close and log-off
// events) or another thread's word that the session is over. Whoever sleeps
// through sleep() wakes as soon as either arrives. One object is made in
// main and handed to all who ask for a stop or look for one.
class Stop
{
public:
    Stop();
    ~Stop();
    Stop(const Stop &) = delete;
    Stop &operator=(const Stop &) = delete;

    // Catches the termination signals from now on; they reach this object.
    // For one object of the process, early in main.
    void catchSignals();

    // Asks the program to end, from any thread; the first reason given stays.
    void request(const QString &why);

    // Why the program was asked to end, or an empty string while it was not.
    QString reason() const;
    bool requested() const { return !reason().isEmpty(); }

    // Sleeps for span, or less when a stop is asked for meanwhile.
    void sleep(std::chrono::milliseconds span) const;

private:
    // In each system's file: wake() wakes a sleeper; caught() is the name of
    // the signal this object caught, or an empty string.
    void wake() const;
    QString caught() const;

    mutable QMutex m_mutex;
    mutable QString m_why; // guarded by m_mutex
#ifdef Q_OS_WIN
    void *m_event = nullptr;
#else
    int m_wake[2] = {-1, -1}; // the write end wakes a sleeper in poll()
#endif
};

} // namespace rendaro
