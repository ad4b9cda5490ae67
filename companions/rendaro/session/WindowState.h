#pragma once

#include "schedule/RunStyle.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>

namespace rendaro {

// A program just started whose windows are to get its entry's style.
struct PendingWindows {
    qint64 pid;
    schedule::RunStyle style; // Hide, Min or Max
    QString entry;            // the entry as the log names it
    qint64 session{};         // the session it was started in (0: unknown)
};

// A style that was not applied, and why ("no window of it appeared").
struct StyleMissed {
    PendingWindows program;
    QString why;
};

// How long the windows of a started program are looked for: at logon a
// program may take its time to show one.
inline constexpr std::chrono::milliseconds kWindowPatience{30000};

// One desktop's way of giving the windows of the programs the launcher
// starts their style (Hide, Min, Max), where the start alone cannot. Each
// way is a file of its own; sessionWindowStyler() picks the one for the
// session the launcher runs in.
class WindowStyler
{
public:
    virtual ~WindowStyler() = default;

    // How the style is applied in this session, as --list tells it.
    virtual QString how(schedule::RunStyle style) const = 0;

    // Variables ("NAME=value") set for a program started with the style, so
    // that its windows open where this way can reach them.
    virtual QStringList environment(schedule::RunStyle) const { return {}; }

    // Applies the styles to the programs' windows as they appear, until
    // each has its style, patience runs out or stopped() says so. Returns
    // the programs whose style was not applied (none once stopped).
    virtual QList<StyleMissed> apply(const QList<PendingWindows> &pending, const std::function<bool()> &stopped,
                                     std::chrono::milliseconds patience = kWindowPatience) = 0;
};

// The way of the session this process runs in.
std::unique_ptr<WindowStyler> sessionWindowStyler();

// The ways, each in a file of its own.
std::unique_ptr<WindowStyler> x11WindowStyler(bool xwayland); // an X11 display, or a Wayland session's XWayland
std::unique_ptr<WindowStyler> kwinWindowStyler();             // null where KWin takes no scripts on the session bus
std::unique_ptr<WindowStyler> noWindowStyler(const QString &why);
std::unique_ptr<WindowStyler> noDisplayStyler();

// What every way answers for a program none of whose windows it could set.
QList<StyleMissed> missedAll(const QList<PendingWindows> &pending, const QString &why);

} // namespace rendaro
