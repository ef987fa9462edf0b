#include "engine/ParallelScan.h"

#include "engine/RecordBuffer.h"
#include "engine/RecordOutput.h"
#include "engine/ScanBuffers.h"
#include "platform/FilePrefetch.h"
#include "platform/Memory.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// What a worker gathers of a file's records before it must wait for the file's turn. Kept
// below the size from which the C runtime maps memory afresh for each buffer.
const size_t kTaskBufferBytes = 64 * 1024;
// A written file's buffer of records that the next file may take, rather than growing one
// afresh from nothing; larger ones are given back.
const size_t kSpareRecordBytes = 16 * 1024;
// Files in flight for each worker: enough to keep every worker busy while the files before them
// are written. The analysis thread wakes when half of them are ready, so that it and the workers
// hand over files in large batches: on some systems each wake-up costs as much as scanning a
// file. A cap keeps the memory of many processors' windows bounded.
const size_t kTasksPerWorker = 32;
const size_t kMostTasks = 128;

// One item of the walk on its way to the front end and the log.
struct ScanTask {
    enum State { kQueued, kScanning, kWaitingForTurn, kStreaming, kDone };

    WalkItem item;
    bool selfScan = false;  // the log itself, as its worker found: scanned in its turn, by the
                            // analysis thread
    State state = kQueued;
    std::atomic<bool> abort{false};
    // Filled by the worker: whole records, then perhaps the start of one.
    RecordBuffer records;
    size_t wholeRecordsEnd = 0;
    int64_t wholeRecords = 0;
    int delimiterLines = 0;
    FileScan scan;
    bool scannedInTurn = false;  // by the analysis thread, into the log
};

class ScanPool;

// Where a worker's scan puts its records: a buffer while other files go first. Once the records
// outgrow it, the worker waits for its file's turn and writes on into the log itself, so that
// memory does not grow with a file's records.
class TaskRecords : public RecordOutput {
public:
    TaskRecords(ScanPool& pool, ScanTask& task) : m_pool(pool), m_task(task) {}

    // Once it writes into the log itself, the log's own failure ends the scan too.
    bool Open() override { return m_log != nullptr ? m_log->Open() : !m_task.abort; }
    // The log itself is read by the analysis thread, in its turn.
    OwnSource BeginSource(TextReader& source, const char* path) override;
    void Append(const char* data, size_t length) override;
    void EndRecord() override;
    char* RoomForRecord(size_t most) override;
    void RecordWritten(size_t length) override;
    void EndFile() override {}
    bool Failed() const override { return m_task.abort || (m_log != nullptr && m_log->Failed()); }

private:
    void StreamIntoLog();

    ScanPool& m_pool;
    ScanTask& m_task;
    RecordFile* m_log = nullptr;  // once the task writes into the log itself
};

// A worker's scan asks the pool before it holds a long text.
class TaskTextGate : public HeldTextGate {
public:
    TaskTextGate(ScanPool& pool, ScanTask& task) : m_pool(pool), m_task(task) {}
    void Acquire() override;
    void Release() override;

private:
    ScanPool& m_pool;
    ScanTask& m_task;
};

class ScanPool {
public:
    ScanPool(WalkSource& walk, Analysis& analysis, int workers);
    ~ScanPool();
    ScanPool(const ScanPool&) = delete;
    ScanPool& operator=(const ScanPool&) = delete;

    // The analysis thread's part: hands out the walk, and tells and writes the files in the
    // walk's order as the workers finish them.
    void Run();

    // A worker's task that has outgrown its buffer waits here for its turn; the log then, or
    // null when the task was given up.
    RecordFile* WaitForTurn(ScanTask& task);
    const RecordFile& Log() const { return m_analysis.Log(); }

    // A long text, held whole until it ends, is held by one file at a time, and only by a file
    // whose turn it is: the first in the window, or one being written into the log (by its
    // worker or by the analysis thread). A file being written never waits: it comes before the
    // holder, which may wait for it, and holds its text beside the holder's. So a job holds one
    // such text as a rule and two at most, whatever the number of threads, as one thread holds
    // one. Other scans wait here.
    void AcquireHeldText(ScanTask& task);
    void ReleaseHeldText(ScanTask& task);

private:
    void Work();
    ScanTask* NextQueued();
    void TakeBatch(std::vector<ScanTask*>& batch, size_t most, ScanBuffers& buffers);
    void ScanBatch(const std::vector<ScanTask*>& batch, FilePrefetch& prefetch);
    void EndTask(ScanTask& task);
    void Scan(ScanTask& task, const PrefetchedFile* prefetched);
    bool HeadsReady();
    void PopFront();
    void FillWindow();
    void WriteHead(ScanTask& head);
    void KeepSpareRecords(ScanTask& head);
    void GiveUp(ScanTask& task);
    void StopAll();
    bool StopAsked() const;
    void TellThreads(int requested) const;

    WalkSource& m_walk;
    Analysis& m_analysis;
    const size_t m_window;
    const size_t m_workers;  // as asked for: the threads may be fewer
    std::mutex m_mutex;
    std::condition_variable m_work;   // workers: a task to scan, a turn, or the end
    std::condition_variable m_heads;  // the analysis thread: files ready to be told and written
    std::deque<std::unique_ptr<ScanTask>> m_tasks;
    // Where the searches of the window go on: no task before m_nextQueued can be taken by a
    // worker any more, and the first m_doneAtFront are done. A task passes each once, so a file
    // costs the same however wide the window.
    size_t m_nextQueued = 0;
    size_t m_doneAtFront = 0;
    bool m_walkEnded = false;
    bool m_shutdown = false;
    std::vector<std::thread> m_threads;
    const ScanTask* m_heldTextOwner = nullptr;  // of the one long text held as a rule
    int m_textWaiters = 0;                       // scans waiting to hold a long text
    std::vector<RecordBuffer> m_spareRecords;    // the analysis thread's, for new tasks
};

void TaskTextGate::Acquire() { m_pool.AcquireHeldText(m_task); }

void TaskTextGate::Release() { m_pool.ReleaseHeldText(m_task); }

RecordOutput::OwnSource TaskRecords::BeginSource(TextReader& source, const char* path)
{
    return m_pool.Log().IsItself(source, path) ? OwnSource::kReadLater : OwnSource::kNo;
}

void TaskRecords::Append(const char* data, size_t length)
{
    if (m_log == nullptr && !m_task.abort && m_task.records.size() + length > kTaskBufferBytes) {
        StreamIntoLog();
    }
    if (m_log != nullptr) {
        m_log->Append(data, length);
    } else if (!m_task.abort) {
        m_task.records.append(data, length);
    }
}

void TaskRecords::EndRecord()
{
    if (m_log != nullptr) {
        m_log->EndRecord();
        return;
    }
    m_task.wholeRecordsEnd = m_task.records.size();
    ++m_task.wholeRecords;
}

// Room in the buffer while the record keeps it within its bound; past it, Append waits for the
// file's turn.
char* TaskRecords::RoomForRecord(size_t most)
{
    if (m_log != nullptr) {
        return m_log->RoomForRecord(most);
    }
    if (m_task.abort || m_task.records.size() + most > kTaskBufferBytes) {
        return nullptr;
    }
    return m_task.records.Room(most);
}

void TaskRecords::RecordWritten(size_t length)
{
    if (m_log != nullptr) {
        m_log->RecordWritten(length);
        return;
    }
    m_task.records.Took(length);
    EndRecord();
}

void TaskRecords::StreamIntoLog()
{
    m_log = m_pool.WaitForTurn(m_task);
    if (m_log == nullptr) {
        return;
    }
    const RecordBuffer& records = m_task.records;
    if (m_task.wholeRecords > 0) {
        m_log->Append(records.data(), m_task.wholeRecordsEnd);
        m_log->EndRecords(m_task.wholeRecords);
    }
    m_log->Append(records.data() + m_task.wholeRecordsEnd, records.size() - m_task.wholeRecordsEnd);
    m_task.records.Free();
    m_task.wholeRecords = 0;
    m_task.wholeRecordsEnd = 0;
}

ScanPool::ScanPool(WalkSource& walk, Analysis& analysis, int workers)
    : m_walk(walk), m_analysis(analysis),
      m_window(std::min(static_cast<size_t>(workers) * kTasksPerWorker, kMostTasks)),
      m_workers(static_cast<size_t>(std::max(workers, 1)))
{
    for (int index = 0; index < workers; ++index) {
        try {
            m_threads.emplace_back(&ScanPool::Work, this);
        } catch (const std::system_error&) {
            break;  // the job goes on with the threads it has, or on this one alone
        }
    }
    TellThreads(workers);
}

void ScanPool::TellThreads(int requested) const
{
    int started = static_cast<int>(m_threads.size());
    if (started < requested) {
        m_analysis.Events().OnFewerThreads(started, requested);
    }
}

bool ScanPool::StopAsked() const
{
    const std::atomic<bool>* stop = m_analysis.StopRequest();
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

ScanPool::~ScanPool()
{
    StopAll();
    for (std::thread& thread : m_threads) {
        thread.join();
    }
}

void ScanPool::StopAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_shutdown = true;
    for (auto& task : m_tasks) {
        task->abort = true;
    }
    m_work.notify_all();
}

// The oldest file waiting to be scanned by a worker; the log itself is scanned by the analysis
// thread, in its turn. After a stop, none: no file is opened any more.
ScanTask* ScanPool::NextQueued()
{
    if (StopAsked()) {
        return nullptr;
    }
    for (; m_nextQueued < m_tasks.size(); ++m_nextQueued) {
        ScanTask& task = *m_tasks[m_nextQueued];
        if (task.state == ScanTask::kQueued && !task.selfScan && !task.item.failed) {
            return &task;
        }
    }
    return nullptr;
}

// Takes the front task out of the window; the searches' places move with the tasks after it.
void ScanPool::PopFront()
{
    m_tasks.pop_front();
    m_nextQueued -= m_nextQueued > 0 ? 1 : 0;
    m_doneAtFront -= m_doneAtFront > 0 ? 1 : 0;
}

// True when the analysis thread has work: the files at the front of the window are ready to be
// told and written, half a window of them, all there are, or those before a file that waits to
// hold a long text; or one of them waits for its turn.
bool ScanPool::HeadsReady()
{
    for (; m_doneAtFront < m_tasks.size(); ++m_doneAtFront) {
        const ScanTask& task = *m_tasks[m_doneAtFront];
        // A worker waiting for its turn does nothing meanwhile: its turn is the first thing to
        // come, and the log itself is scanned by the analysis thread.
        if (task.state == ScanTask::kWaitingForTurn || task.selfScan) {
            return true;
        }
        bool done = task.item.failed || task.state == ScanTask::kDone;
        if (!done) {
            break;
        }
    }
    size_t ready = m_doneAtFront;
    return ready > 0 && (ready * 2 >= m_window || ready == m_tasks.size() || m_textWaiters > 0);
}

void ScanPool::Work()
{
    ScanBuffers buffers;
    FilePrefetch prefetch;
    const size_t most = prefetch.Works() ? FilePrefetch::kMostFiles : 1;
    std::vector<ScanTask*> batch;
    // One turn of the lock a file, and one for the next batch.
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        TakeBatch(batch, most, buffers);
        if (batch.empty()) {
            if (m_shutdown) {
                return;
            }
            if (StopAsked()) {
                // The analysis thread learns of a stop from the workers that see it.
                m_heads.notify_one();
                m_work.wait(lock, [this] { return m_shutdown; });
            } else {
                m_work.wait(lock, [this] { return m_shutdown || StopAsked() || NextQueued() != nullptr; });
            }
            continue;
        }
        lock.unlock();
        ScanBatch(batch, prefetch);
        lock.lock();
    }
}

// Opens the batch's files ahead where the system can, and scans them one after another.
void ScanPool::ScanBatch(const std::vector<ScanTask*>& batch, FilePrefetch& prefetch)
{
    PrefetchPlace places[FilePrefetch::kMostFiles];
    for (size_t index = 0; index < batch.size(); ++index) {
        places[index] = batch[index]->item.PrefetchAt();
    }
    prefetch.Fetch(places, batch.size());
    for (size_t index = 0; index < batch.size(); ++index) {
        ScanTask& task = *batch[index];
        // After a stop no file is scanned any more: those taken wait as if never taken.
        if (StopAsked()) {
            std::lock_guard<std::mutex> lock(m_mutex);
            task.state = ScanTask::kQueued;
            continue;
        }
        Scan(task, &prefetch.File(index));
        std::lock_guard<std::mutex> lock(m_mutex);
        EndTask(task);
    }
}

// Takes the files the worker scans next, in the window's order: up to `most`, but no more than
// its share of those waiting, so that the other workers have theirs.
void ScanPool::TakeBatch(std::vector<ScanTask*>& batch, size_t most, ScanBuffers& buffers)
{
    batch.clear();
    size_t waiting = m_tasks.size() - std::min(m_nextQueued, m_tasks.size());
    size_t share = (waiting + m_workers - 1) / m_workers;
    size_t wanted = std::max<size_t>(1, std::min(most, share));
    ScanTask* next = nullptr;
    while (batch.size() < wanted && (next = NextQueued()) != nullptr) {
        next->state = ScanTask::kScanning;
        next->scan.buffers = &buffers;
        batch.push_back(next);
    }
}

// A worker's scan of `task` has ended.
void ScanPool::EndTask(ScanTask& task)
{
    // A file that waited for its turn has the analysis thread waiting for its end.
    bool awaited = task.state == ScanTask::kStreaming || task.state == ScanTask::kWaitingForTurn;
    task.selfScan = task.scan.isOutput;
    task.state = task.selfScan ? ScanTask::kQueued : ScanTask::kDone;
    if (awaited || HeadsReady() || StopAsked()) {
        m_heads.notify_one();
    }
}

void ScanPool::Scan(ScanTask& task, const PrefetchedFile* prefetched)
{
    try {
        TaskRecords records(*this, task);
        TaskTextGate gate(*this, task);
        task.scan.stop = m_analysis.StopRequest();
        task.scan.giveUp = &task.abort;
        task.scan.place = task.item.Place();
        task.scan.place.prefetched = prefetched;
        task.scan.gate = &gate;
        task.delimiterLines = ExtractStrings(records, m_analysis.Format(), task.item.path,
                                             task.item.displayName, m_analysis.Settings(), task.scan);
    } catch (...) {
        // Out of memory, most likely: the file is given up, and told as one that could not be read.
        task.scan.readFailure = MakeFailure(FailureKind::Other);
        task.abort = true;
    }
}

RecordFile* ScanPool::WaitForTurn(ScanTask& task)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    task.state = ScanTask::kWaitingForTurn;
    if (HeadsReady()) {
        m_heads.notify_one();
    }
    m_work.wait(lock, [&task] { return task.state == ScanTask::kStreaming || task.abort; });
    return task.abort ? nullptr : &m_analysis.Log();
}

void ScanPool::AcquireHeldText(ScanTask& task)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!task.abort) {
        bool writing = task.state == ScanTask::kStreaming || task.scannedInTurn;
        bool first = !m_tasks.empty() && m_tasks.front().get() == &task;
        if ((writing || first) && m_heldTextOwner == nullptr) {
            m_heldTextOwner = &task;
            return;
        }
        if (writing) {
            return;  // the file being written comes before the holder, which may wait for it
        }
        // Woken when a text is let go, when the task's file comes first or is written, and when
        // the task is given up. The files done before it are written meanwhile, so that it
        // comes first.
        ++m_textWaiters;
        if (HeadsReady()) {
            m_heads.notify_one();
        }
        m_work.wait(lock);
        --m_textWaiters;
    }
}

void ScanPool::ReleaseHeldText(ScanTask& task)
{
    // The text is freed: its memory goes back to the system before another file holds one.
    ReturnFreedMemory();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_heldTextOwner == &task) {
        m_heldTextOwner = nullptr;
        m_work.notify_all();
    }
}

// Takes items from the walk until the window is full or the walk has ended; the walk runs
// without the lock, and the items join the window together.
void ScanPool::FillWindow()
{
    size_t room = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_walkEnded || m_tasks.size() >= m_window) {
            return;
        }
        room = m_window - m_tasks.size();
    }
    std::vector<std::unique_ptr<ScanTask>> found;
    bool ended = false;
    while (found.size() < room) {
        std::unique_ptr<ScanTask> task(new ScanTask);
        if (!m_walk.Next(task->item)) {
            ended = true;
            break;
        }
        if (!m_spareRecords.empty()) {
            task->records.swap(m_spareRecords.back());
            m_spareRecords.pop_back();
        }
        found.push_back(std::move(task));
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_walkEnded = ended;
    for (auto& task : found) {
        m_tasks.push_back(std::move(task));
    }
    if (!found.empty()) {
        m_work.notify_all();
    }
}

// The head's records go into the log, in their turn.
void ScanPool::WriteHead(ScanTask& head)
{
    RecordFile& log = m_analysis.Log();
    bool streaming = head.state == ScanTask::kWaitingForTurn;
    bool needsLog = streaming || head.delimiterLines > 0;
    if (needsLog && !head.abort && !log.Open()) {
        head.abort = true;
    }
    if (streaming && !head.abort && !log.TakeFile()) {
        head.abort = true;
    }
    if (streaming) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!head.abort) {
            head.state = ScanTask::kStreaming;
        }
        m_work.notify_all();
        // It writes on until its end; a stop meanwhile ends its scan, and its file is not counted.
        m_heads.wait(lock, [&head] { return head.state == ScanTask::kDone; });
        if (!m_analysis.CanGoOn()) {
            head.abort = true;
        }
    } else if (head.delimiterLines > 0 && !head.abort) {
        log.Append(head.records.data(), head.wholeRecordsEnd);
        if (head.wholeRecords > 0) {
            log.EndRecords(head.wholeRecords);
        }
    }
    log.EndFile();
    bool written = !head.abort && !log.Failed();
    // A stop request is the analysis's to count; the scan's own stop was the pool's doing.
    head.scan.stopped = false;
    m_analysis.FileScanned(head.item.path, head.scan, written ? head.delimiterLines : 0);
}

// A written file's worker is done with it: its buffer may serve a file to come.
void ScanPool::KeepSpareRecords(ScanTask& head)
{
    if (head.state == ScanTask::kDone && head.records.capacity() <= kSpareRecordBytes &&
        m_spareRecords.size() < m_window) {
        head.records.clear();
        m_spareRecords.push_back(std::move(head.records));
    }
}

// A file taken from the window that will not be written: its worker, if it waits for its turn,
// is let go, and the file is kept until that worker is done with it.
void ScanPool::GiveUp(ScanTask& task)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    task.abort = true;
    m_work.notify_all();
    m_heads.wait(lock, [&task] { return task.state != ScanTask::kWaitingForTurn; });
}

void ScanPool::Run()
{
    for (;;) {
        FillWindow();
        std::vector<std::unique_ptr<ScanTask>> ready;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            // Waits for work; a worker that sees a stop says so. With no worker to take them,
            // the files are scanned here.
            bool alone = m_threads.empty();
            m_heads.wait(lock, [this, alone] {
                return m_tasks.empty() || alone || HeadsReady() || !m_analysis.CanGoOn();
            });
            if (m_tasks.empty()) {
                return;
            }
            if (!m_analysis.CanGoOn()) {
                for (auto& task : m_tasks) {
                    task->abort = true;  // each worker ends its scan at its next block
                }
                m_work.notify_all();
                return;
            }
            if (alone && m_tasks.front()->state == ScanTask::kQueued) {
                // Scanned here, straight into the log.
                m_tasks.front()->state = ScanTask::kScanning;
                ready.push_back(std::move(m_tasks.front()));
                PopFront();
            }
            // Every file ready at the front, taken at once; a file waiting for its turn is last.
            while (!m_tasks.empty()) {
                ScanTask& front = *m_tasks.front();
                bool done = front.item.failed || front.selfScan || front.state == ScanTask::kDone ||
                            front.state == ScanTask::kWaitingForTurn;
                if (!done || (!ready.empty() && (ready.back()->state == ScanTask::kWaitingForTurn ||
                                                 ready.back()->state == ScanTask::kScanning))) {
                    break;
                }
                ready.push_back(std::move(m_tasks.front()));
                PopFront();
            }
            // A worker waiting to hold a long text may hold it once its file is first.
            m_work.notify_all();
        }
        for (auto& head : ready) {
            if (!m_analysis.CanGoOn()) {
                GiveUp(*head);
                continue;
            }
            if (head->item.failed) {
                m_analysis.ReadFailed(head->item.path, head->item.failure);
            } else if (head->selfScan || head->state == ScanTask::kScanning) {
                head->scannedInTurn = true;
                TaskTextGate gate(*this, *head);
                m_analysis.ScanFile(head->item.path, head->item.displayName, head->item.Place(), &gate);
            } else {
                m_analysis.Events().OnFileBegin(head->item.displayName);
                WriteHead(*head);
                KeepSpareRecords(*head);
            }
        }
    }
}

}  // namespace

int ScanThreads(int requested)
{
    if (requested > 0) {
        return requested;
    }
    unsigned processors = std::thread::hardware_concurrency();
    return processors > 0 ? static_cast<int>(processors) : 1;
}

void ScanInParallel(WalkSource& walk, Analysis& analysis, int threads)
{
    ScanPool pool(walk, analysis, threads);
    pool.Run();
}
