#pragma once

#include "base/Result.h"
#include "schedule/RunStyle.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace schedule {

// One scheduled start: the four lines of an entry file, in file order.
struct Entry {
    QString time;      // "19:30"
    QString path;      // the program's full path
    QString styleCode; // "Normal", "Hide", "Min" or "Max"
    QString dayName;   // "Monday" .. "Sunday"

    QStringList lines() const { return {time, path, styleCode, dayName}; }
    int minutes() const;    // of a valid entry
    RunStyle style() const; // of a valid entry
    friend bool operator==(const Entry &, const Entry &) = default;
};

// Entry files larger than this are not entries.
constexpr qsizetype kMaxEntryFileSize = 64 * 1024;

// A program path that names one file whatever the working folder: "/..."
// here; on Windows a drive letter, ":" and a backslash (or slash), or a UNC
// path "\\server\share\...". Unlike QDir::isAbsolutePath, a leading ":"
// (a Qt resource name) is not absolute: started as it stands it would run a
// program of the working folder.
bool isAbsoluteProgramPath(QStringView path);

// The one rule of what a program path may not hold, wherever a path is
// taken (a pick, an entry file, a day list): control characters (C0, DEL,
// C1), invisible format characters (zero-width spaces and joiners, the
// byte-order mark, the marks that set, override or isolate the direction of
// text), the line and paragraph separators, and halves of surrogate pairs.
// Each makes a name read as another on screen, or cannot be shown at all.
bool isRefusedPathCharacter(char32_t c);

// The first such character of a path, or nothing.
std::optional<char32_t> refusedPathCharacter(QStringView path);

// The text with those characters shown as \n, \r, \xNN, \uNNNN or
// \UNNNNNNNN, for a message, a log or a terminal.
QString visibleText(QStringView text);

// Checks four lines as an entry: a valid time line, a path (not empty, no
// NUL, absolute on this platform, no refused character), a run style code
// and a day name. A failure's reason says what is wrong, visibly escaped.
base::Result<Entry> validateEntry(const QStringList &lines);

// The contents of an entry file: exactly four lines of text in the code page
// (see decodeExactLine), at most kMaxEntryFileSize bytes, no NUL byte.
base::Result<Entry> parseEntryFile(QByteArrayView bytes);

// A day list file: entries of four lines one after another. A group of lines
// that is not a valid entry is skipped line by line up to the next valid
// entry and reported as a problem ("line N: why"); it never hides the entries
// after it.
//
// The list keeps the file's bytes and, for each entry, where its path lies in
// them: twelve bytes an entry. A day list at the launcher's 16 MiB limit
// holds some 670,000 of the shortest entries; kept this way the launcher
// needs 2.4 times the file's size for them, kept as decoded Entry values 16
// times (BM_LauncherLargeList). Entries are decoded when asked for.
class DayList
{
public:
    // At most this many problems are kept; the rest are only counted.
    static constexpr qsizetype kKeptProblems = 20;

    explicit DayList(QByteArray bytes);

    qsizetype size() const { return m_items.size(); }
    Entry entry(qsizetype i) const;
    int minutes(qsizetype i) const { return m_items[i].minutes; }
    // Orders the entries by start time, those of the same time in file order.
    void sortByTime();

    const QStringList &problems() const { return m_problems; }
    qsizetype problemCount() const { return m_problemCount; }

private:
    struct Item {
        qint32 pathStart;
        qint32 pathLength;
        qint16 minutes;
        qint8 style;
        qint8 day;
    };
    void addProblem(qsizetype line, const QString &why);

    QByteArray m_bytes;
    QList<Item> m_items;
    QStringList m_problems;
    qsizetype m_problemCount = 0;
};

} // namespace schedule
