#include "platform/StartAndReport.h"

#include "platform/ProgramStarter.h"
#include "platform/Prompter.h"


namespace platform {

void startAndReport(ProgramStarter &starter, Prompter &prompter, const QString &program,
                    const QString &argument, WindowStyle style)
{
    const QString commandLine = argument.isEmpty() ? program : program + u' ' + argument;
    const StartResult result = starter.start(commandLine, style);
    if (!result.started)
        prompter.tell(QStringLiteral("Could not start %1: %2.").arg(program, result.error));
}

void startHiddenAndReport(ProgramStarter &starter, Prompter &prompter, const QString &program)
{
    startAndReport(starter, prompter, program, QString(), WindowStyle::Hidden);
}

} // namespace platform
