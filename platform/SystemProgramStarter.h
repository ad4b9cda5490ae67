#pragma once

#include "platform/ProgramStarter.h"

#include <QStringList>

namespace platform {

class SystemProgramStarter : public ProgramStarter
{
public:
    StartResult start(const QString &commandLine, WindowStyle style) override;
    StartResult startWatched(const QString &commandLine, WindowStyle style,
                             std::function<void(bool succeeded)> ended) override;

    // The full path a bare program name resolves to, or empty.
    static QString findProgram(const QString &name);
};

} // namespace platform
