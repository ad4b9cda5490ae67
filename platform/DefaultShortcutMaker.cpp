#include "platform/DefaultShortcutMaker.h"

#include <QCoreApplication>

namespace platform {

namespace {
class UnavailableShortcutMaker : public ShortcutMaker
{
public:
    ShortcutResult create(const QString &, const QString &, const QString &, const QString &,
                          ShortcutScope, const QString &) override
    {
        return {false, QCoreApplication::translate("platform", "shortcuts are not supported here"), false};
    }
};
} // namespace

std::unique_ptr<ShortcutMaker> makeDefaultShortcutMaker()
{
    return std::make_unique<UnavailableShortcutMaker>();
}

} // namespace platform
