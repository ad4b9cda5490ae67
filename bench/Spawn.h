#pragma once

// Starting the programs under test as child processes, for the benchmarks:
// posix_spawn with a working folder and extra environment, no shell.

#include <sys/types.h>

#include <string>
#include <vector>

namespace bench {

struct Child {
    pid_t pid = -1;
    int out = -1; // read end of the child's standard output, when captured
};

// Starts program with args in folder cwd; env entries "NAME=value" are
// added to (or replace) this process's environment. Standard error goes to
// /dev/null; standard output too unless captureOutput.
Child spawn(const std::string &program, const std::vector<std::string> &args, const std::string &cwd,
            const std::vector<std::string> &env = {}, bool captureOutput = false);

// Reads the child's output until a line equal to marker; false at the end
// of the output first.
bool waitForLine(const Child &child, const std::string &marker);

// Waits for the child's end; its exit status, or -1 when a signal ended it.
int waitExit(Child &child);

// Waits for the child's end, watching its highest resident memory (VmHWM)
// the while; that, in KiB. (The rusage of a spawned child would count the
// memory of this process, which it shared until its exec.)
long waitExitWatchingMemory(Child &child);

// The folder of the built programs: vellomar, brinol.com, ...
std::string binDir();
// The folder of the helper programs built with the benchmarks.
std::string benchBinDir();

} // namespace bench
