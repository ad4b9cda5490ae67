// A detached program is started by QProcess itself.
#include "platform/SystemProgramStarter.h"

#include <QProcess>

namespace platform {

base::Result<qint64> startDetached(QProcess &process, WindowStyle)
{
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return base::Failure{process.errorString()};
    return pid;
}

} // namespace platform
