#include "platform/DesktopNotice.h"

#include <QCoreApplication>

#ifdef Q_OS_WIN
#include <windows.h>

#include <thread>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>
#endif

namespace platform {

#ifdef Q_OS_WIN

struct DesktopNotice::Pending {
    std::thread box;
};

void DesktopNotice::show(const QString &title, const QString &text)
{
    if (m_pending)
        return;
    m_pending = std::make_unique<Pending>();
    m_pending->box = std::thread([title = title.toStdWString(), text = text.toStdWString()] {
        MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    });
}

void DesktopNotice::wait()
{
    if (m_pending && m_pending->box.joinable())
        m_pending->box.join();
}

#else

namespace {
// How long the notification service has to answer.
constexpr int kAnswerWithinMs = 3000;

// The body as plain text: notification services read markup in it
// (<b>, <a href=...>, &amp;), and a folder's name may look like markup.
QString markupEscaped(QString text)
{
    return text.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
}
} // namespace

struct DesktopNotice::Pending {
    QDBusPendingCall call;
};

void DesktopNotice::show(const QString &title, const QString &text)
{
    if (m_pending)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify << QCoreApplication::applicationName() << uint(0) << QStringLiteral("dialog-warning") << title << markupEscaped(text)
           << QStringList() << QVariantMap() << int(-1);
    m_pending = std::make_unique<Pending>(Pending{bus.asyncCall(notify, kAnswerWithinMs)});
}

void DesktopNotice::wait()
{
    if (m_pending)
        m_pending->call.waitForFinished();
}

#endif

DesktopNotice::DesktopNotice() = default;

DesktopNotice::~DesktopNotice()
{
    wait();
}

} // namespace platform
