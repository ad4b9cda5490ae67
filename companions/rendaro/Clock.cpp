#include "companions/rendaro/Clock.h"

#include "companions/rendaro/session/Stop.h"

namespace rendaro {

QDateTime SystemClock::now()
{
    return QDateTime::currentDateTime();
}

void SystemClock::sleep(std::chrono::milliseconds span)
{
    m_stop.sleep(span);
}

ShiftedClock::ShiftedClock(const rendaro::Stop &stop, const QDateTime &start)
    : SystemClock(stop)
    , m_start(start)
{
    m_elapsed.start();
}

QDateTime ShiftedClock::now()
{
    return m_start.addMSecs(m_elapsed.elapsed());
}

} // namespace rendaro
