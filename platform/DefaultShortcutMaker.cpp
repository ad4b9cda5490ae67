#include "platform/DefaultShortcutMaker.h"

#if defined(Q_OS_WIN)
#include "platform/WindowsShortcutMaker.h"
#elif defined(Q_OS_LINUX)
#include "platform/XdgShortcutMaker.h"
#endif

namespace platform {

namespace {
[[maybe_unused]] std::unique_ptr<ShortcutMaker> unavailable()
{
    class Unavailable : public ShortcutMaker
    {
    public:
        base::Result<void> create(const QString &, const QString &, const QString &, const QString &, ShortcutScope,
                                  const QString &) override
        {
            return base::Failure{QStringLiteral("shortcuts are not supported here")};
        }
    };
    return std::make_unique<Unavailable>();
}
} // namespace

std::unique_ptr<ShortcutMaker> makeDefaultShortcutMaker()
{
#if defined(Q_OS_WIN)
    return std::make_unique<WindowsShortcutMaker>();
#elif defined(Q_OS_LINUX)
    return std::make_unique<XdgShortcutMaker>();
#else
    return unavailable();
#endif
}

} // namespace platform
