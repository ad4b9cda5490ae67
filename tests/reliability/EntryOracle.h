#pragma once

// A second, independent reading of the schedule file rules, on plain bytes
// and the standard library only, so the reliability tests can judge what
// the real readers accept. Kept deliberately simple and separate from
// schedule/: a rule that both get wrong the same way is unlikely.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oracle {

using Line = std::string;
using Entry = std::array<Line, 4>; // time, path, run style, day name

inline constexpr std::size_t kMaxEntryFileSize = 64 * 1024;

inline constexpr std::array<std::string_view, 7> kDayNames{
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
inline constexpr std::array<std::string_view, 7> kDayCodes{
    "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
inline constexpr std::array<std::string_view, 7> kListFiles{
    "datmon.dat", "dattue.dat", "datwed.dat", "datthu.dat", "datfri.dat", "datsat.dat", "datsun.dat"};
inline constexpr std::array<std::string_view, 4> kStyleCodes{"Normal", "Hide", "Min", "Max"};

// Lines end at LF, with one CR just before it dropped; the rest of the text
// after the last LF is a line when it is not empty. A CR elsewhere is text.
inline std::vector<Line> splitLines(std::string_view bytes)
{
    std::vector<Line> lines;
    Line current;
    for (char c : bytes) {
        if (c == '\n') {
            if (!current.empty() && current.back() == '\r')
                current.pop_back();
            lines.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline bool isTimeLine(std::string_view l)
{
    if (l.size() != 5 || l[2] != ':')
        return false;
    if (!isDigit(l[0]) || !isDigit(l[1]) || !isDigit(l[3]) || !isDigit(l[4]))
        return false;
    const int hour = (l[0] - '0') * 10 + (l[1] - '0');
    const std::string_view minute = l.substr(3);
    return hour <= 23 && (minute == "00" || minute == "15" || minute == "30" || minute == "45");
}

inline bool isStyleCode(std::string_view l)
{
    for (auto s : kStyleCodes)
        if (l == s)
            return true;
    return false;
}

inline int dayIndexOfName(std::string_view l)
{
    for (int i = 0; i < 7; ++i)
        if (l == kDayNames[i])
            return i;
    return -1;
}

// A program path that names one file on its own, whatever the working
// folder: "/..." here; on Windows a drive letter, ":" and a backslash or
// slash, or a UNC path.
inline bool isAbsoluteProgramPath(std::string_view l)
{
    if (l.find('\0') != std::string_view::npos)
        return false;
#ifdef _WIN32
    auto slash = [](char c) { return c == '\\' || c == '/'; };
    const bool drive = l.size() >= 3
        && ((l[0] >= 'A' && l[0] <= 'Z') || (l[0] >= 'a' && l[0] <= 'z'))
        && l[1] == ':' && slash(l[2]);
    const bool unc = l.size() >= 3 && slash(l[0]) && slash(l[1]) && !slash(l[2]);
    return drive || unc;
#else
    return !l.empty() && l[0] == '/';
#endif
}

inline bool isEntry(const Line &time, const Line &path, const Line &style, const Line &day)
{
    return isTimeLine(time) && isAbsoluteProgramPath(path) && isStyleCode(style)
        && dayIndexOfName(day) >= 0;
}

inline std::optional<Entry> entryFile(std::string_view bytes)
{
    if (bytes.size() > kMaxEntryFileSize || bytes.find('\0') != std::string_view::npos)
        return std::nullopt;
    const auto lines = splitLines(bytes);
    if (lines.size() != 4 || !isEntry(lines[0], lines[1], lines[2], lines[3]))
        return std::nullopt;
    return Entry{lines[0], lines[1], lines[2], lines[3]};
}

// Every run of four lines that is an entry, taken from the top; a line that
// does not start one is passed over.
inline std::vector<Entry> dayList(std::string_view bytes)
{
    const auto lines = splitLines(bytes);
    std::vector<Entry> out;
    std::size_t i = 0;
    while (i + 4 <= lines.size()) {
        if (isEntry(lines[i], lines[i + 1], lines[i + 2], lines[i + 3])) {
            out.push_back({lines[i], lines[i + 1], lines[i + 2], lines[i + 3]});
            i += 4;
        } else {
            ++i;
        }
    }
    return out;
}

// How a line reads: as UTF-8 when it is well-formed UTF-8 (no overlong
// forms, no surrogates, nothing past U+10FFFF), otherwise as Latin-1, the
// form earlier versions wrote. Given back as UTF-8.
inline bool isUtf8(std::string_view l)
{
    for (std::size_t i = 0, n = 0; i < l.size(); i += n) {
        const auto b = static_cast<unsigned char>(l[i]);
        n = b < 0x80 ? 1 : b < 0xc2 ? 0 : b < 0xe0 ? 2 : b < 0xf0 ? 3 : b < 0xf5 ? 4 : 0;
        if (n == 0 || i + n > l.size())
            return false;
        unsigned long code = n == 1 ? b : b & (0xff >> (n + 1));
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(l[i + k]) & 0xc0) != 0x80)
                return false;
            else
                code = (code << 6) | (static_cast<unsigned char>(l[i + k]) & 0x3f);
        if (code < (n == 3 ? 0x800ul : n == 4 ? 0x10000ul : 0ul) || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
    }
    return true;
}

inline std::string asUtf8(std::string_view l)
{
    if (isUtf8(l))
        return std::string(l);
    std::string out;
    for (char c : l) {
        const auto b = static_cast<unsigned char>(c);
        out += b < 0x80 ? std::string(1, c) : std::string{char(0xc0 | (b >> 6)), char(0x80 | (b & 0x3f))};
    }
    return out;
}

inline Entry asUtf8(const Entry &e) { return {asUtf8(e[0]), asUtf8(e[1]), asUtf8(e[2]), asUtf8(e[3])}; }

inline std::string joinCrLf(const Entry &e)
{
    std::string s;
    for (const auto &l : e)
        s += l + "\r\n";
    return s;
}

} // namespace oracle
