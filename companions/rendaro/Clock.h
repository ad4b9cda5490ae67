#pragma once

#include <QDateTime>
#include <QElapsedTimer>

#include <chrono>

namespace rendaro {

class Stop;

// The wall clock the launcher plans by, and its way of sleeping.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
    virtual void sleep(std::chrono::milliseconds span) = 0;
};

// The local time of the system. Its sleep ends early when the launcher is
// asked to end.
class SystemClock : public Clock
{
public:
    explicit SystemClock(const rendaro::Stop &stop)
        : m_stop(stop)
    {
    }
    QDateTime now() override;
    void sleep(std::chrono::milliseconds span) override;

private:
    const rendaro::Stop &m_stop;
};

// A clock that starts at a given local time and runs on at the real pace:
// --at, to see what a day would do.
class ShiftedClock : public SystemClock
{
public:
    ShiftedClock(const rendaro::Stop &stop, const QDateTime &start);
    QDateTime now() override;

private:
    QDateTime m_start;
    QElapsedTimer m_elapsed;
};

} // namespace rendaro
