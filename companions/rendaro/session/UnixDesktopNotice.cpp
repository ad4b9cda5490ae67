// Notices through the freedesktop notification service on the session bus.
#include "companions/rendaro/session/DesktopNotice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace rendaro {

namespace {

// How long the notification service has to answer a call.
constexpr int kAnswerWithinMs = 3000;

// The body as plain text: notification services read markup in it
// (<b>, <a href=...>, &amp;), and a folder's name may look like markup.
QString markupEscaped(QString text)
{
    return text.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;"));
}

} // namespace

// A bus that does not answer is given up after this.
const std::optional<std::chrono::seconds> DesktopNotice::kSettleWithin{std::chrono::seconds(5)};

void DesktopNotice::send(const QString &title, const QString &text)
{
    // Connecting may itself hang on a bus that accepts and never answers:
    // that is why this runs on the notices' own thread.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify << QCoreApplication::applicationName() << uint(0) << QStringLiteral("dialog-warning") << title
           << markupEscaped(text) << QStringList() << QVariantMap() << int(-1);
    bus.call(notify, QDBus::Block, kAnswerWithinMs);
}

} // namespace rendaro
