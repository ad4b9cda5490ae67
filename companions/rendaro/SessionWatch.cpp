#include "companions/rendaro/SessionWatch.h"

#include "platform/Stop.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QThread>
#include <QVariantMap>

#include <unistd.h>

namespace rendaro {

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
constexpr int kAnswerWithinMs = 5000;

// Lives in a thread of its own with an event loop, where the bus's signals
// reach it.
class LogindSession : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void start()
    {
        // Connecting may take its time: the launcher does not wait for it.
        QDBusConnection bus = QDBusConnection::systemBus();
        m_path = bus.isConnected() ? ownSession(bus) : QString();
        if (m_path.isEmpty()) {
            watchDisplay();
            return;
        }
        bus.connect(kLogind, m_path, kProperties, QStringLiteral("PropertiesChanged"), this,
                    SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        bus.connect(kLogind, QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                    QStringLiteral("SessionRemoved"), this, SLOT(sessionRemoved(QString, QDBusObjectPath)));
        // It may have ended before the signals were asked for.
        QDBusMessage get = QDBusMessage::createMethodCall(kLogind, m_path, kProperties, QStringLiteral("Get"));
        get << kSession << QStringLiteral("State");
        const QDBusMessage reply = bus.call(get, QDBus::Block, kAnswerWithinMs);
        if (reply.type() == QDBusMessage::ErrorMessage
            || (!reply.arguments().isEmpty() && reply.arguments().first().value<QDBusVariant>().variant() == "closing"))
            ended();
    }

public slots:
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        if (interface == kSession && changed.value(QStringLiteral("State")) == QStringLiteral("closing"))
            ended();
    }
    void sessionRemoved(const QString &, const QDBusObjectPath &path)
    {
        if (path.path() == m_path)
            ended();
    }

private:
    // The session of this process, else the user's graphical session.
    static QString ownSession(QDBusConnection &bus)
    {
        QDBusMessage byPid = QDBusMessage::createMethodCall(kLogind, QStringLiteral("/org/freedesktop/login1"),
                                                            QStringLiteral("org.freedesktop.login1.Manager"),
                                                            QStringLiteral("GetSessionByPID"));
        byPid << uint(::getpid());
        const QDBusReply<QDBusObjectPath> own = bus.call(byPid, QDBus::Block, kAnswerWithinMs);
        if (own.isValid())
            return own.value().path();
        QDBusMessage get = QDBusMessage::createMethodCall(kLogind, QStringLiteral("/org/freedesktop/login1/user/self"),
                                                          kProperties, QStringLiteral("Get"));
        get << QStringLiteral("org.freedesktop.login1.User") << QStringLiteral("Display");
        const QDBusMessage display = bus.call(get, QDBus::Block, kAnswerWithinMs);
        if (display.type() != QDBusMessage::ReplyMessage || display.arguments().isEmpty())
            return {};
        // (so): the session's id and object path; an empty id means none.
        const QDBusArgument pair = display.arguments().first().value<QDBusVariant>().variant().value<QDBusArgument>();
        QString id;
        QDBusObjectPath path;
        pair.beginStructure();
        pair >> id >> path;
        pair.endStructure();
        return id.isEmpty() ? QString() : path.path();
    }

    void ended() { platform::requestStop(QStringLiteral("the session ended")); }

    QString m_path;
};

} // namespace

void watchSession()
{
    auto *thread = new QThread;
    auto *session = new LogindSession;
    session->moveToThread(thread);
    thread->start();
    QMetaObject::invokeMethod(session, "start", Qt::QueuedConnection);
}

} // namespace rendaro

#include "SessionWatch.moc"
