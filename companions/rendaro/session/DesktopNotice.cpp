#include "companions/rendaro/session/DesktopNotice.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
#endif

namespace rendaro {

namespace {

std::atomic<bool> g_givenUp{false};

#ifndef Q_OS_WIN
// How long the notification service has to answer a call, and how long the
// notices in flight may take once the program is done.
constexpr int kAnswerWithinMs = 3000;
constexpr std::chrono::seconds kSettleWithin{5};

// The body as plain text: notification services read markup in it
// (<b>, <a href=...>, &amp;), and a folder's name may look like markup.
QString markupEscaped(QString text)
{
    return text.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
}
#endif

void send(const QString &title, const QString &text)
{
#ifdef Q_OS_WIN
    MessageBoxW(nullptr, reinterpret_cast<LPCWSTR>(text.utf16()), reinterpret_cast<LPCWSTR>(title.utf16()),
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
#else
    // Connecting may itself hang on a bus that accepts and never answers:
    // that is why this runs on the notices' own thread.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify << QCoreApplication::applicationName() << uint(0) << QStringLiteral("dialog-warning") << title << markupEscaped(text)
           << QStringList() << QVariantMap() << int(-1);
    bus.call(notify, QDBus::Block, kAnswerWithinMs);
#endif
}

} // namespace

struct DesktopNotice::Queue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<QString, QString>> waiting;
    bool busy = false;
    bool closing = false;

    void work()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return closing || !waiting.empty(); });
            if (waiting.empty())
                return;
            const auto [title, text] = std::move(waiting.front());
            waiting.pop_front();
            busy = true;
            lock.unlock();
            send(title, text);
            lock.lock();
            busy = false;
            changed.notify_all();
        }
    }
};

DesktopNotice::DesktopNotice() = default;

void DesktopNotice::show(const QString &title, const QString &text)
{
    if (!m_queue) {
        m_queue = std::make_shared<Queue>();
        std::thread([queue = m_queue] { queue->work(); }).detach();
    }
    std::lock_guard lock(m_queue->mutex);
    m_queue->waiting.emplace_back(title, text);
    m_queue->changed.notify_all();
}

DesktopNotice::~DesktopNotice()
{
    if (!m_queue)
        return;
    std::unique_lock lock(m_queue->mutex);
    m_queue->closing = true;
    m_queue->changed.notify_all();
    const auto settled = [this] { return m_queue->waiting.empty() && !m_queue->busy; };
#ifdef Q_OS_WIN
    m_queue->changed.wait(lock, settled);
#else
    if (!m_queue->changed.wait_for(lock, kSettleWithin, settled))
        g_givenUp = true;
#endif
}

bool DesktopNotice::givenUp()
{
    return g_givenUp;
}

} // namespace rendaro
