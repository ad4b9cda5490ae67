#pragma once

#include "companions/rendaro/Clock.h"
#include "companions/rendaro/RunLog.h"

#include "companions/rendaro/session/DesktopNotice.h"

#include <QMutex>
#include <QTextStream>

#include <optional>

namespace rendaro {

// What the launcher tells: each event on the console and in rendaro.log,
// and troubles (an entry skipped, a list refused, a program that did not
// start) also on the desktop, in one notice for the troubles that came up
// together. A quiet report (--list) keeps no log and shows no notice. Any
// thread may report. Not a Result: a run goes on through its troubles.
class RunReport
{
public:
    RunReport(Clock &clock, QTextStream &out, QTextStream &err, bool quiet);

    void info(const QString &text);
    void trouble(const QString &text);

    // Shows one notice for the troubles since the last one, if any. It is
    // sent after the programs due now have started and never waits for the
    // desktop.
    void tellTroubles();

    // Opens the log again by its name, in the working folder as it is now
    // (the folder was made anew under the launcher).
    void reopenLog();

    // Whether any trouble came up at all.
    bool clean() const { return m_troubles == 0; }

private:
    mutable QMutex m_mutex;
    Clock &m_clock;
    QTextStream &m_out;
    QTextStream &m_err;
    std::optional<RunLog> m_log;
    std::optional<rendaro::DesktopNotice> m_notice;
    qsizetype m_troubles = 0;
    qsizetype m_untold = 0;
    QString m_firstUntold;
};

} // namespace rendaro
