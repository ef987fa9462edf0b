#include "platform/posix/MessageReceiver.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

namespace {

struct PendingSend {
    PendingSend(MessageReceiver* to, UINT what, WPARAM first, LPARAM second)
        : receiver(to), message(what), wParam(first), lParam(second)
    {
    }
    MessageReceiver* receiver;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    std::atomic<bool> done{false};
};

// A send is a round trip between two threads. Waiting a little before sleeping saves both
// threads a sleep and a wake-up whenever the other answers quickly, as it usually does: a handler
// within microseconds, a worker's next notice within the time it takes to scan a file. With one
// processor the other thread cannot answer while we wait, so there is no waiting then.
template <typename Ready>
bool SpinUntil(Ready ready, int microseconds)
{
    static const bool otherProcessors = std::thread::hardware_concurrency() > 1;
    if (!otherProcessors) {
        return ready();
    }
    const auto limit = std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
    for (int round = 0;; ++round) {
        if (ready()) {
            return true;
        }
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
        if (round % 64 == 63 && std::chrono::steady_clock::now() > limit) {
            return false;
        }
    }
}

// Every live receiver, so that a send to a destroyed one fails instead of touching freed memory.
std::mutex g_registryMutex;
std::set<const MessageReceiver*> g_receivers;

}  // namespace

// The sends waiting for one thread, and its quit request.
class ThreadMessageQueue {
public:
    void Enqueue(PendingSend& send);
    LRESULT Wait(PendingSend& send);
    void Forget(const MessageReceiver* receiver);
    void RequestQuit(int exitCode);
    int Run();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<PendingSend*> m_sends;
    std::atomic<size_t> m_queued{0};  // m_sends.size(), readable without the lock
    bool m_quit = false;
    int m_exitCode = 0;
};

namespace {

const std::shared_ptr<ThreadMessageQueue>& CurrentQueue()
{
    thread_local std::shared_ptr<ThreadMessageQueue> queue = std::make_shared<ThreadMessageQueue>();
    return queue;
}

}  // namespace

void ThreadMessageQueue::Enqueue(PendingSend& send)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sends.push_back(&send);
    m_queued = m_sends.size();
    m_changed.notify_all();
}

LRESULT ThreadMessageQueue::Wait(PendingSend& send)
{
    if (!SpinUntil([&send] { return send.done.load(); }, 50)) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&send] { return send.done.load(); });
    }
    return send.result;
}

void ThreadMessageQueue::Forget(const MessageReceiver* receiver)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto at = m_sends.begin(); at != m_sends.end();) {
        if ((*at)->receiver == receiver) {
            (*at)->done = true;
            at = m_sends.erase(at);
            m_queued = m_sends.size();
        } else {
            ++at;
        }
    }
    m_changed.notify_all();
}

void ThreadMessageQueue::RequestQuit(int exitCode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quit = true;
    m_exitCode = exitCode;
}

int ThreadMessageQueue::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (!m_quit && m_sends.empty()) {
            lock.unlock();
            SpinUntil([this] { return m_queued.load() != 0; }, 500);
            lock.lock();
        }
        m_changed.wait(lock, [this] { return m_quit || !m_sends.empty(); });
        if (m_quit) {
            m_quit = false;
            return m_exitCode;
        }
        PendingSend* send = m_sends.front();
        m_sends.pop_front();
        m_queued = m_sends.size();
        lock.unlock();
        LRESULT result = send->receiver->HandleMessage(send->message, send->wParam, send->lParam);
        lock.lock();
        send->result = result;
        send->done = true;
        m_changed.notify_all();
    }
}

MessageReceiver::MessageReceiver() : m_queue(CurrentQueue())
{
    std::lock_guard<std::mutex> lock(g_registryMutex);
    g_receivers.insert(this);
}

MessageReceiver::~MessageReceiver()
{
    {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        g_receivers.erase(this);
    }
    m_queue->Forget(this);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Keep the owner's queue alive while we wait, even if the receiver goes meanwhile.
    std::shared_ptr<ThreadMessageQueue> queue;
    PendingSend send{window, message, wParam, lParam};
    {
        // Queued under the registry's lock: a receiver destroyed later finds the send and
        // releases it; one destroyed earlier is no longer registered.
        std::lock_guard<std::mutex> lock(g_registryMutex);
        if (g_receivers.count(window) == 0) {
            return 0;
        }
        queue = window->Queue();
        if (queue != CurrentQueue()) {
            queue->Enqueue(send);
        }
    }
    if (queue == CurrentQueue()) {
        return window->HandleMessage(message, wParam, lParam);
    }
    return queue->Wait(send);
}

void PostQuitMessage(int exitCode) { CurrentQueue()->RequestQuit(exitCode); }

int RunMessageLoop() { return CurrentQueue()->Run(); }
