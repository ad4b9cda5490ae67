// A program for the launcher benchmark to start: it writes the moment it
// began (CLOCK_MONOTONIC, nanoseconds) to "<its own path>.started".

#include <cstdio>
#include <ctime>
#include <string>

int main(int, char *argv[])
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::string marker = std::string(argv[0]) + ".started";
    FILE *f = std::fopen(marker.c_str(), "w");
    if (!f)
        return 1;
    std::fprintf(f, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    return std::fclose(f) == 0 ? 0 : 1;
}
