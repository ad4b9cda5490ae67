#pragma once

#include "companions/common/Report.h"

#include <QString>

#include <functional>

namespace companion {

// What a companion program says about itself.
struct ProgramInfo {
    QString name;    // "brinol.com"
    QString summary; // one line: what a run does
};

// The body of a companion program: takes no arguments but --help and
// --version, which only print, so that a mistyped option never runs; holds the working
// folder's lock for the whole run, does the work on the current folder and
// writes its messages to standard error, each led by the program's name.
// Exit status: 0 done, 1 failed, 2 (base::kUsageError) refused arguments.
int companionMain(int argc, char **argv, const ProgramInfo &info,
                  const std::function<Report(const QString &folder)> &work);

} // namespace companion
