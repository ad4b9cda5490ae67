#pragma once

#include "companions/common/CommandLine.h"
#include "companions/common/Report.h"

#include <functional>

namespace companion {

// The body of a companion program: handles the arguments, holds the working
// folder's lock for the whole run, does the work on the current folder and
// writes its messages to standard error, each led by the program's name.
// Exit status: 0 done, 1 failed, 2 refused arguments.
int companionMain(int argc, char **argv, const ProgramInfo &info,
                  const std::function<Report(const QString &folder)> &work);

} // namespace companion
