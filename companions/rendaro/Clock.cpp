#include "Clock.h"

#include <thread>

namespace rendaro {

QDateTime SystemClock::now()
{
    return QDateTime::currentDateTime();
}

void SystemClock::sleep(std::chrono::milliseconds span)
{
    std::this_thread::sleep_for(span);
}

ShiftedClock::ShiftedClock(const QDateTime &start)
    : m_start(start)
{
    m_elapsed.start();
}

QDateTime ShiftedClock::now()
{
    return m_start.addMSecs(m_elapsed.elapsed());
}

} // namespace rendaro
