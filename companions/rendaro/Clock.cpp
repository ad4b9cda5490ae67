#include "companions/rendaro/Clock.h"

#include "platform/Stop.h"

namespace rendaro {

QDateTime SystemClock::now()
{
    return QDateTime::currentDateTime();
}

void SystemClock::sleep(std::chrono::milliseconds span)
{
    platform::sleepUnlessStopped(span);
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
