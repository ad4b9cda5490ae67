// The gathering baseline: read every entry file of the working folder once
// and write each day's files one after another into its day list, as `cat`
// would. No checks, no order, no safe replacement: only the reading and
// writing any gatherer must do.

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

int main()
{
    static const std::array<std::string, 7> codes{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const std::array<std::string, 7> lists{"datmon.dat", "dattue.dat", "datwed.dat", "datthu.dat",
                                                  "datfri.dat", "datsat.dat", "datsun.dat"};
    std::array<std::vector<std::string>, 7> names;
    for (const auto &item : std::filesystem::directory_iterator(".")) {
        const std::string name = item.path().filename().string();
        for (int d = 0; d < 7; ++d)
            if (name.size() > 7 && name.compare(0, 3, codes[d]) == 0 && std::isdigit(name[3]))
                names[d].push_back(name);
    }
    std::string data;
    char buffer[65536];
    for (int d = 0; d < 7; ++d) {
        data.clear();
        for (const std::string &name : names[d]) {
            const int fd = open(name.c_str(), O_RDONLY);
            if (fd < 0)
                return 1;
            for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
                data.append(buffer, std::size_t(n));
            close(fd);
        }
        const int out = open(lists[d].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || write(out, data.data(), data.size()) != ssize_t(data.size()))
            return 1;
        close(out);
    }
    return 0;
}
