#include "companions/rendaro/session/WindowState.h"

namespace rendaro {

namespace {

// Windows hands the style to the program with its start, as its show state.
class WinStyler : public WindowStyler
{
public:
    QString how(schedule::RunStyle style) const override
    {
        switch (style) {
        case schedule::RunStyle::Hide:
            return QStringLiteral("started with its window hidden");
        case schedule::RunStyle::Min:
            return QStringLiteral("started minimized");
        case schedule::RunStyle::Max:
            return QStringLiteral("started maximized");
        case schedule::RunStyle::Normal:
            break;
        }
        return QStringLiteral("started as it is");
    }

    QList<StyleMissed> apply(const QList<PendingWindows> &, const std::function<bool()> &,
                             std::chrono::milliseconds) override
    {
        return {};
    }
};

} // namespace

std::unique_ptr<WindowStyler> sessionWindowStyler()
{
    return std::make_unique<WinStyler>();
}

} // namespace rendaro
