#include "companions/rendaro/session/SessionWatch.h"

#include "companions/rendaro/session/Stop.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusVariant>
#include <QThread>
#include <QTimer>
#include <QVariantMap>

#include <unistd.h>

namespace rendaro {

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
constexpr int kAnswerWithinMs = 5000;
// How often the session's state is read. systemd's logind sends no
// PropertiesChanged for State (its property table marks it as not
// announced), so a logout shows only to one who asks.
constexpr int kStateEveryMs = 30000;

// Lives in a thread of its own with an event loop, where the bus's signals
// and the replies reach it.
class LogindSession : public QObject
{
    Q_OBJECT
public:
    explicit LogindSession(rendaro::Stop &stop)
        : m_stop(stop)
    {
    }

    Q_INVOKABLE void start()
    {
        // Connecting may take its time: the launcher does not wait for it.
        QDBusConnection bus = QDBusConnection::systemBus();
        m_path = bus.isConnected() ? ownSession(bus) : QString();
        if (m_path.isEmpty())
            return;
        bus.connect(kLogind, m_path, kProperties, QStringLiteral("PropertiesChanged"), this,
                    SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        bus.connect(kLogind, kManagerPath, kManager, QStringLiteral("SessionRemoved"), this,
                    SLOT(sessionRemoved(QString, QDBusObjectPath)));
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &LogindSession::readState);
        timer->start(kStateEveryMs);
        readState(); // it may have ended before the signals were asked for
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
    void readState()
    {
        if (m_asking)
            return; // a bus that is slow to answer is asked once at a time
        QDBusMessage get = QDBusMessage::createMethodCall(kLogind, m_path, kProperties, QStringLiteral("Get"));
        get << kSession << QStringLiteral("State");
        m_asking = true;
        auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(get, kAnswerWithinMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
            m_asking = false;
            watcher->deleteLater();
            const QDBusPendingReply<QDBusVariant> reply = *watcher;
            // A session that logind no longer knows is over; a bus that does
            // not answer says nothing about it.
            if (reply.isError() && reply.error().type() == QDBusError::UnknownObject)
                ended();
            else if (!reply.isError() && reply.value().variant() == QStringLiteral("closing"))
                ended();
        });
    }

    // The session of this process, else the user's graphical session.
    static QString ownSession(QDBusConnection &bus)
    {
        QDBusMessage byPid =
            QDBusMessage::createMethodCall(kLogind, kManagerPath, kManager, QStringLiteral("GetSessionByPID"));
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

    void ended() { m_stop.request(QStringLiteral("the session ended")); }

    rendaro::Stop &m_stop;
    QString m_path;
    bool m_asking = false;
};

} // namespace

void launcherFinished() {}

void watchSession(rendaro::Stop &stop)
{
    watchDisplay(stop);
    auto *thread = new QThread;
    auto *session = new LogindSession(stop);
    session->moveToThread(thread);
    thread->start();
    QMetaObject::invokeMethod(session, "start", Qt::QueuedConnection);
}

} // namespace rendaro

#include "SessionWatch.moc"
