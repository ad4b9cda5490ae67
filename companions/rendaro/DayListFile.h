#pragma once

#include <QByteArray>
#include <QString>

namespace rendaro {

// A day list holds a few entries of four short lines; anything far larger
// is not one.
inline constexpr qint64 kMaxDayListSize = 16 * 1024 * 1024;

// A shape of its own rather than a Result: a day without a list is no failure.
struct DayListFile {
    enum Status {
        Read,    // bytes holds the whole file
        Missing, // there is no file of that name
        Refused, // it must not or cannot be read; why says which
    };
    Status status = Missing;
    QByteArray bytes;
    QString why;
};

// Reads the day list file of that name in the working folder. The file is
// opened first, without following a link and without waiting on a pipe, and
// then the open file itself is checked: a regular file that nobody but this
// user (or root) may change, of at most kMaxDayListSize bytes. So the file
// that is read is the file that was checked.
DayListFile readDayListFile(const QString &name);

} // namespace rendaro
