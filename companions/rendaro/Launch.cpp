#include "companions/rendaro/Launch.h"
#include "companions/rendaro/session/ProcessFamily.h"

#include "platform/SystemProgramStarter.h"
#include "platform/Trust.h"
#include "schedule/Companions.h"

#include <QFileInfo>

namespace rendaro {

namespace {

platform::WindowStyle windowStyle(schedule::RunStyle style)
{
    switch (style) {
    case schedule::RunStyle::Normal:
        break;
    case schedule::RunStyle::Hide:
        return platform::WindowStyle::Hidden;
    case schedule::RunStyle::Min:
        return platform::WindowStyle::Minimized;
    case schedule::RunStyle::Max:
        return platform::WindowStyle::Maximized;
    }
    return platform::WindowStyle::NormalFocus;
}

} // namespace

base::Result<Launched> launchProgram(const QString &path, schedule::RunStyle style, const QStringList &variables)
{
    const QFileInfo program(path);
    if (!program.isAbsolute())
        return base::Failure{QStringLiteral("the path is not absolute")};
    if (!program.exists())
        return base::Failure{QStringLiteral("there is no such file")};
    if (program.isDir() || !program.isExecutable())
        return base::Failure{QStringLiteral("the file is not a program")};
    const base::Result<QString> realPath =
        platform::startableProgram(program.absoluteFilePath(), schedule::ownPrograms());
    if (!realPath)
        return realPath.failure();
    const QFileInfo checked(*realPath); // started as checked, whatever a link on the way points at by now
    const base::Result<qint64> pid = platform::startProgram(checked.absoluteFilePath(), {}, windowStyle(style),
                                                            checked.absolutePath(), {}, variables);
    if (!pid)
        return pid.failure();
    // Its session tells the windows of the processes it starts: read at
    // once, before a program that starts another and ends (a wrapper
    // script) is gone.
    const std::optional<ProcessLinks> links = processLinks(*pid);
    return Launched{*pid, checked.absoluteFilePath(), links ? links->session : 0};
}

} // namespace rendaro
