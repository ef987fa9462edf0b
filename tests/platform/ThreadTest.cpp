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
    EXPECT_TRUE(report.ranElsewhere);
    EXPECT_FALSE(report.ranPastTheEnd);
}
