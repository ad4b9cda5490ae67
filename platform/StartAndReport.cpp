#include "platform/StartAndReport.h"

#include "platform/ProgramStarter.h"
#include "platform/Prompter.h"

namespace platform {

void startAndReport(ProgramStarter &starter, Prompter &prompter, const QString &program, const QString &argument,
                    WindowStyle style)
{
    const base::Result<qint64> started =
        starter.start(program, argument.isEmpty() ? QStringList() : QStringList{argument}, style);
    if (!started)
        prompter.tell(QStringLiteral("Could not start %1: %2.").arg(program, started.reason()));
}

void startHiddenAndReport(ProgramStarter &starter, Prompter &prompter, const QString &program)
{
    startAndReport(starter, prompter, program, QString(), WindowStyle::Hidden);
}

} // namespace platform
