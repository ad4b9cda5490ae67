#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

namespace rendaro {

// rendaro.log beside the schedule: one line per event of every run, led by
// the local date and time, in the system's 8-bit encoding with this
// platform's line ends. It stays bounded: once it passes kBound bytes its
// older half is dropped, the file replaced whole with the same mode; where
// it cannot be replaced, lines are still added and the log says so once.
// Nobody but its owner may write it. It is kept only in a folder that
// nobody else may change. A log that cannot be written is given up quietly:
// it must never keep a program from starting.
class RunLog
{
public:
    static constexpr qint64 kBound = 256 * 1024;

    explicit RunLog(const QString &folder);

    void write(const QDateTime &when, const QString &text);

    // Whether the log is being written.
    bool kept() const { return m_file.isOpen(); }

    // The last lines of the folder's log, as they are in the file.
    static QByteArray tail(const QString &folder, int lines);

private:
    bool open();
    void append(const QDateTime &when, const QString &text);
    void dropOlderHalf(const QDateTime &when);

    QString m_path;
    QFile m_file;
    bool m_keepsAll = false; // the log could not be shortened in this run
};

} // namespace rendaro
