#pragma once

#include <QString>
#include <QStringList>

namespace companion {

// The outcome of one run of a companion program's work: rather than a
// Result, every message of the run, warnings as well as the failure.
struct Report {
    bool ok = true;       // false: the run failed (exit status 1)
    QStringList messages; // for standard error, one line each

    void fail(const QString &message)
    {
        ok = false;
        messages.append(message);
    }
    void warn(const QString &message) { messages.append(message); }
};

} // namespace companion
