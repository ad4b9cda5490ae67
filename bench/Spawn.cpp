#include "bench/Spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

extern char **environ;

namespace bench {

Child spawn(const std::string &program, const std::vector<std::string> &args, const std::string &cwd,
            const std::vector<std::string> &env, bool captureOutput)
{
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string &extra : env)
            replaced = replaced || extra.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced)
            envStrings.push_back(entry);
    }
    envStrings.insert(envStrings.end(), env.begin(), env.end());

    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (std::string &e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (captureOutput && pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (captureOutput)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

    Child child;
    const int rc = posix_spawn(&child.pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput) {
        close(pipeFds[1]);
        child.out = pipeFds[0];
    }
    if (rc != 0)
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
    return child;
}

bool waitForLine(const Child &child, const std::string &marker)
{
    std::string line;
    char c;
    for (;;) {
        const ssize_t n = read(child.out, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        if (c != '\n') {
            line.push_back(c);
            continue;
        }
        if (line == marker)
            return true;
        line.clear();
    }
}

long waitExitWatchingMemory(Child &child)
{
    const std::string status = "/proc/" + std::to_string(child.pid) + "/status";
    long highest = 0;
    int exited = 0;
    while ((exited = waitpid(child.pid, nullptr, WNOHANG)) == 0) {
        std::ifstream in(status);
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("VmHWM:", 0) == 0)
                highest = std::max(highest, std::stol(line.substr(6)));
        usleep(500);
    }
    if (child.out >= 0)
        close(child.out);
    child = {};
    return highest;
}

int waitExit(Child &child)
{
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (child.out >= 0)
        close(child.out);
    child = {};
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string binDir()
{
    return VELLOMAR_BIN_DIR;
}
std::string benchBinDir()
{
    return VELLOMAR_BENCH_BIN_DIR;
}

} // namespace bench
