// Takes the working folder's lock as a companion program does and keeps it
// until it is killed or its standard input closes, so tests can leave a lock
// behind a process that died.
#include "companions/common/WorkFolderLock.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    companion::WorkFolderLock lock(QDir::currentPath());
    if (!lock.acquire(std::chrono::milliseconds(0))) {
        std::fprintf(stderr, "%s\n", qPrintable(lock.errorString()));
        return 1;
    }
    std::fputs("locked\n", stdout);
    std::fflush(stdout);
    char c;
    while (std::fread(&c, 1, 1, stdin) == 1) {
    }
    return 0;
}
