#include "companions/rendaro/session/DesktopNotice.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace rendaro {

namespace {

std::atomic<bool> g_givenUp{false};

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
    if (!kSettleWithin)
        m_queue->changed.wait(lock, settled);
    else if (!m_queue->changed.wait_for(lock, *kSettleWithin, settled))
        g_givenUp = true;
}

bool DesktopNotice::givenUp()
{
    return g_givenUp;
}

} // namespace rendaro
