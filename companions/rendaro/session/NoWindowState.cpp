#include "companions/rendaro/session/WindowState.h"

namespace rendaro {

namespace {

// A session where no program may set another's windows: every style but
// Normal is left to the program. Without a display no window can show, and
// Hide holds by itself.
class NoStyler : public WindowStyler
{
public:
    NoStyler(const QString &why, bool noDisplay)
        : m_why(why)
        , m_noDisplay(noDisplay)
    {
    }

    QString how(schedule::RunStyle style) const override
    {
        if (m_noDisplay && style == schedule::RunStyle::Hide)
            return QStringLiteral(
                "started with no terminal and its output discarded; without a display it shows no window");
        return QStringLiteral("not applied: %1").arg(m_why);
    }

    QList<StyleMissed> apply(const QList<PendingWindows> &pending, const std::function<bool()> &stopped,
                             std::chrono::milliseconds) override
    {
        QList<PendingWindows> missed;
        for (const PendingWindows &p : pending)
            if (!(m_noDisplay && p.style == schedule::RunStyle::Hide))
                missed.append(p);
        return stopped() ? QList<StyleMissed>() : missedAll(missed, m_why);
    }

private:
    QString m_why;
    bool m_noDisplay;
};

} // namespace

std::unique_ptr<WindowStyler> noWindowStyler(const QString &why)
{
    return std::make_unique<NoStyler>(why, false);
}

std::unique_ptr<WindowStyler> noDisplayStyler()
{
    return std::make_unique<NoStyler>(QStringLiteral("there is no display"), true);
}

QList<StyleMissed> missedAll(const QList<PendingWindows> &pending, const QString &why)
{
    QList<StyleMissed> missed;
    for (const PendingWindows &p : pending)
        missed.append({p, why});
    return missed;
}

} // namespace rendaro
