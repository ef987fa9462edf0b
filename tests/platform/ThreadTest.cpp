#include "platform/Thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// What a worker did, told to the test thread.
struct WorkerReport {
    std::mutex mutex;
    std::condition_variable changed;
    bool ranElsewhere = false;
    bool destroyed = false;       // an object alive at AfxEndThread was destroyed
    bool ranPastTheEnd = false;   // code after AfxEndThread ran
    std::thread::id caller = std::this_thread::get_id();
};

class Sentinel {
public:
    explicit Sentinel(WorkerReport& report) : m_report(report) {}
    ~Sentinel()
    {
        std::lock_guard<std::mutex> lock(m_report.mutex);
        m_report.destroyed = true;
        m_report.changed.notify_all();
    }
    Sentinel(const Sentinel&) = delete;
    Sentinel& operator=(const Sentinel&) = delete;

private:
    WorkerReport& m_report;
};

unsigned EndingWorker(void* param)
{
    WorkerReport& report = *static_cast<WorkerReport*>(param);
    report.ranElsewhere = std::this_thread::get_id() != report.caller;
    Sentinel sentinel(report);
    AfxEndThread(3);
    report.ranPastTheEnd = true;
    return 0;
}

}  // namespace

TEST(ThreadTest, EndingAWorkerUnwindsItsStackOnEverySystem)
{
    WorkerReport report;
    ASSERT_NE(AfxBeginThread(EndingWorker, &report), nullptr);
    std::unique_lock<std::mutex> lock(report.mutex);
    ASSERT_TRUE(report.changed.wait_for(lock, std::chrono::seconds(30), [&] { return report.destroyed; }));
    lock.unlock();
    // The worker is let end before the test does: a worker still ending as the process ends can
    // give the process its own exit code under Wine.
    EXPECT_TRUE(WaitForWorkerThreads(30000));
    EXPECT_TRUE(report.ranElsewhere);
    EXPECT_FALSE(report.ranPastTheEnd);
}

namespace {

struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
};

unsigned WaitingWorker(void* param)
{
    Gate& gate = *static_cast<Gate*>(param);
    std::unique_lock<std::mutex> lock(gate.mutex);
    gate.changed.wait(lock, [&] { return gate.open; });
    return 0;
}

}  // namespace

TEST(ThreadTest, AWorkerAtWorkIsWaitedForOnlyForTheTimeGiven)
{
    static Gate gate;  // outlives a worker that a failed expectation leaves waiting
    ASSERT_NE(AfxBeginThread(WaitingWorker, &gate), nullptr);
    EXPECT_FALSE(WaitForWorkerThreads(50));
    {
        std::lock_guard<std::mutex> lock(gate.mutex);
        gate.open = true;
        gate.changed.notify_all();
    }
    EXPECT_TRUE(WaitForWorkerThreads(30000));
}
