#include "companions/rendaro/session/Stop.h"

namespace rendaro {

void Stop::request(const QString &why)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_why.isEmpty())
            m_why = why;
    }
    wake();
}

QString Stop::reason() const
{
    QMutexLocker lock(&m_mutex);
    if (m_why.isEmpty())
        m_why = caught();
    return m_why;
}

} // namespace rendaro
