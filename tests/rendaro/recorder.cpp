// A program for the launcher to start: it appends one line to the file
// named by RENDARO_TEST_LOG with what it was started with, tab-separated:
// its executable, its working folder, its argument count, its arguments
// (joined by 0x1f) and where its standard output goes.
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

static std::string link(const char *path)
{
    char buffer[4096];
    const ssize_t n = readlink(path, buffer, sizeof buffer);
    return n < 0 ? std::string("?") : std::string(buffer, size_t(n));
}

int main(int argc, char *argv[])
{
    const char *log = std::getenv("RENDARO_TEST_LOG");
    if (!log)
        return 3;
    char cwd[4096];
    std::string line = link("/proc/self/exe") + '\t' + (getcwd(cwd, sizeof cwd) ? cwd : "?") + '\t'
                       + std::to_string(argc - 1) + '\t';
    for (int i = 1; i < argc; ++i)
        line += std::string(i > 1 ? "\x1f" : "") + argv[i];
    line += '\t' + link("/proc/self/fd/1") + '\n';
    const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (fd < 0)
        return 4;
    const bool ok = write(fd, line.data(), line.size()) == ssize_t(line.size());
    close(fd);
    return ok ? 0 : 5;
}
