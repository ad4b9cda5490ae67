#include "platform/StartAndReport.h"

#include "platform/ProgramStarter.h"
#include "platform/Prompter.h"

#include <QCoreApplication>

namespace platform {

void startHiddenAndReport(ProgramStarter &starter, Prompter &prompter, const QString &program)
{
    const StartResult result = starter.start(program, WindowStyle::Hidden);
    if (!result.started)
        prompter.tell(QCoreApplication::translate("Main", "Could not start %1: %2.").arg(program, result.error));
}

} // namespace platform
