#pragma once

// Seeded generator of schedule file contents for the reliability tests:
// valid entries, entries with one byte changed, truncated ones, foreign line
// ends, NUL bytes, very long lines and plain random bytes. The same seed
// gives the same inputs, so a failure can be replayed.

#include "reliability/EntryOracle.h"

#include <cstdint>
#include <random>
#include <string>

namespace fuzz {

class Inputs
{
public:
    explicit Inputs(std::uint64_t seed) : rng(seed) {}

    int below(int n) { return int(rng() % std::uint64_t(n)); }
    bool chance(int percent) { return below(100) < percent; }
    char anyByte() { return char(below(256)); }

    oracle::Line timeLine()
    {
        static const char *minutes[] = {"00", "15", "30", "45"};
        const int hour = below(24);
        oracle::Line l{char('0' + hour / 10), char('0' + hour % 10), ':'};
        return l + minutes[below(4)];
    }

    // An absolute path here, with the characters that trouble readers:
    // spaces, shell characters, colons, 8-bit letters.
    oracle::Line programPath(int maxLength = 40)
    {
        static const std::string alphabet =
            "abcxyzABC019 _-.;$()&'\"`:\\/\t\xe9\xfc\xff\x7f";
#ifdef _WIN32
        oracle::Line p = std::string(1, char('C' + below(3))) + ":\\";
#else
        oracle::Line p = "/";
#endif
        const int n = below(maxLength);
        for (int i = 0; i < n; ++i)
            p.push_back(alphabet[below(int(alphabet.size()))]);
        return p;
    }

    oracle::Entry entry(int dayIndex = -1)
    {
        if (dayIndex < 0)
            dayIndex = below(7);
        return {timeLine(), programPath(), std::string(oracle::kStyleCodes[below(4)]),
                std::string(oracle::kDayNames[dayIndex])};
    }

    std::string randomBytes(int maxLength)
    {
        std::string s(below(maxLength + 1), '\0');
        for (char &c : s)
            c = chance(20) ? "\r\n:\0/"[below(5)] : anyByte();
        return s;
    }

    // One small change: a byte replaced, inserted or removed, a cut, a NUL,
    // or the line ends turned into LF only or CR only.
    std::string mutate(std::string s)
    {
        const int kind = below(8);
        const std::size_t at = s.empty() ? 0 : std::size_t(below(int(s.size())));
        switch (kind) {
        case 0:
            if (!s.empty())
                s[at] = anyByte();
            break;
        case 1:
            s.insert(s.begin() + at, anyByte());
            break;
        case 2:
            if (!s.empty())
                s.erase(at, 1);
            break;
        case 3:
            s.resize(at);
            break;
        case 4:
            s.insert(s.begin() + at, '\0');
            break;
        case 5:
            s = replaceAll(s, "\r\n", "\n");
            break;
        case 6:
            s = replaceAll(s, "\r\n", "\r");
            break;
        case 7:
            if (!s.empty())
                s[at] = "\r\n:\0/ "[below(6)];
            break;
        }
        return s;
    }

    // A line of about a megabyte, sometimes a valid long path.
    std::string hugeLine()
    {
        std::string s = chance(50) ? "/" : "";
        s.append(std::size_t(1024 * 1024 + below(64)), char('a' + below(26)));
        return s + "\r\n";
    }

    // A day list: valid entries of the given day mixed with junk lines,
    // mutated entries and (rarely) huge lines. Line ends CR LF unless mangled.
    std::string dayList(int dayIndex, int maxEntries, bool allowHuge)
    {
        std::string s;
        const int n = below(maxEntries + 1);
        for (int i = 0; i < n; ++i) {
            const int what = below(10);
            if (what < 6)
                s += oracle::joinCrLf(entry(dayIndex));
            else if (what < 8)
                s += mutate(oracle::joinCrLf(entry(dayIndex)));
            else if (what < 9 || !allowHuge || !chance(5))
                s += randomBytes(30) + "\r\n";
            else
                s += hugeLine();
        }
        return s;
    }

    std::mt19937_64 rng;

private:
    static std::string replaceAll(std::string s, const std::string &from, const std::string &to)
    {
        std::string out;
        std::size_t pos = 0;
        for (std::size_t hit; (hit = s.find(from, pos)) != std::string::npos; pos = hit + from.size())
            out += s.substr(pos, hit - pos) + to;
        return out + s.substr(pos);
    }
};

} // namespace fuzz
