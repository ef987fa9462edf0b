#include "platform/FilePrefetch.h"

#include "platform/posix/RegularFile.h"

#include <fcntl.h>
#include <liburing.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <vector>

namespace {

const uint64_t kCloseDone = ~uint64_t{0};
const size_t kReadUnknown = ~size_t{0};  // a read ahead whose end the ring has not told

// Memory for the bytes read ahead, its pages in place from the start: in a guest where each page
// fault is dear, one call that fills them costs less than a fault at each page's first touch.
class HeldBytes {
public:
    explicit HeldBytes(size_t size) : m_size(size)
    {
        const int flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE;
        void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags, -1, 0);
        m_bytes = memory != MAP_FAILED ? static_cast<char*>(memory) : nullptr;
    }
    ~HeldBytes()
    {
        if (m_bytes != nullptr) {
            munmap(m_bytes, m_size);
        }
    }
    HeldBytes(const HeldBytes&) = delete;
    HeldBytes& operator=(const HeldBytes&) = delete;

    char* get() const { return m_bytes; }

private:
    char* m_bytes = nullptr;
    size_t m_size;
};

}  // namespace

// The ring that takes a batch's calls, and what the batch holds between its calls.
class PrefetchRing {
public:
    PrefetchRing() : m_held(FilePrefetch::kMostFiles * FilePrefetch::kHeldBytes)
    {
        // Room for a batch's opens beside the last batch's closes.
        m_ringOpen = io_uring_queue_init(2 * FilePrefetch::kMostFiles, &m_ring, 0) == 0;
        m_ready = m_ringOpen && m_held.get() != nullptr;
    }
    ~PrefetchRing()
    {
        CloseNow();
        if (m_ringOpen) {
            io_uring_queue_exit(&m_ring);
        }
    }
    PrefetchRing(const PrefetchRing&) = delete;
    PrefetchRing& operator=(const PrefetchRing&) = delete;

    bool Ready() const { return m_ready; }
    void Fetch(const PrefetchPlace* places, size_t count, PrefetchedFile* files);
    // Closes the last batch's files now.
    void CloseNow();

private:
    void Open(const PrefetchPlace* places, size_t count, PrefetchedFile* files);
    void KeepRegular(size_t count, PrefetchedFile* files);
    void ReadAhead(size_t count, PrefetchedFile* files);
    bool SubmitAndReap(unsigned wanted, PrefetchedFile* files, bool opening);

    io_uring m_ring{};
    bool m_ringOpen = false;
    bool m_ready = false;  // false too once the ring has failed
    HeldBytes m_held;
    std::vector<int> m_toClose;  // the last batch's files
};

void PrefetchRing::Fetch(const PrefetchPlace* places, size_t count, PrefetchedFile* files)
{
    if (!m_ready) {
        CloseNow();  // the ring failed: the files open as usual
        return;
    }
    Open(places, count, files);
    KeepRegular(count, files);
    ReadAhead(count, files);
}

// The last batch's files close with this batch's opens.
void PrefetchRing::Open(const PrefetchPlace* places, size_t count, PrefetchedFile* files)
{
    unsigned wanted = 0;
    for (int handle : m_toClose) {
        io_uring_sqe* entry = io_uring_get_sqe(&m_ring);
        if (entry == nullptr) {
            close(handle);
            continue;
        }
        io_uring_prep_close(entry, handle);
        io_uring_sqe_set_data64(entry, kCloseDone);
        ++wanted;
    }
    m_toClose.clear();
    for (size_t index = 0; index < count; ++index) {
        const PrefetchPlace& place = places[index];
        if (place.name == nullptr) {
            continue;
        }
        io_uring_sqe* entry = io_uring_get_sqe(&m_ring);
        if (entry == nullptr) {
            break;  // the rest open as usual
        }
        const int folder = place.folder != nullptr ? static_cast<int>(place.folder->Handle()) : AT_FDCWD;
        io_uring_prep_openat(entry, folder, place.name, SourceOpenFlags(place.followLinks), 0);
        io_uring_sqe_set_data64(entry, index);
        ++wanted;
    }
    if (!SubmitAndReap(wanted, files, true)) {
        m_ready = false;  // from now on every file opens as usual
    }
}

// A file must be regular before a byte of it is read, as when it opens at once.
void PrefetchRing::KeepRegular(size_t count, PrefetchedFile* files)
{
    for (size_t index = 0; index < count; ++index) {
        PrefetchedFile& file = files[index];
        if (file.handle == -1) {
            continue;
        }
        if (!IsRegularFile(static_cast<int>(file.handle), file.size, file.identity)) {
            close(static_cast<int>(file.handle));
            file.handle = -1;
            continue;
        }
        m_toClose.push_back(static_cast<int>(file.handle));
    }
}

// Reads what the cache holds of each file's first bytes, without waiting for a disk: from where
// the file stands, so that a read of the handle goes on after them.
void PrefetchRing::ReadAhead(size_t count, PrefetchedFile* files)
{
    unsigned wanted = 0;
    for (size_t index = 0; index < count; ++index) {
        PrefetchedFile& file = files[index];
        if (file.handle == -1 || file.size == 0) {
            continue;
        }
        io_uring_sqe* entry = io_uring_get_sqe(&m_ring);
        if (entry == nullptr) {
            break;  // the rest are read as usual
        }
        char* held = m_held.get() + index * FilePrefetch::kHeldBytes;
        file.held = held;
        file.heldLength = kReadUnknown;
        const uint64_t most = FilePrefetch::kHeldBytes;
        unsigned length = static_cast<unsigned>(file.size < most ? file.size : most);
        io_uring_prep_read(entry, static_cast<int>(file.handle), held, length, static_cast<uint64_t>(-1));
        entry->rw_flags = RWF_NOWAIT;
        io_uring_sqe_set_data64(entry, index);
        ++wanted;
    }
    if (!SubmitAndReap(wanted, files, false)) {
        m_ready = false;
    }
    // Where the handle stands is not known after a read the ring did not tell of: such a file
    // opens again as usual. Its handle is still closed with the others.
    for (size_t index = 0; index < count; ++index) {
        if (files[index].heldLength == kReadUnknown) {
            files[index] = PrefetchedFile();
        }
    }
}

// Submits the entries made and takes `wanted` completions: an open's handle, or a read's length.
// False when the ring fails; then what was asked is left undone or unknown, and a file whose read
// is unknown is no longer read ahead.
bool PrefetchRing::SubmitAndReap(unsigned wanted, PrefetchedFile* files, bool opening)
{
    if (wanted == 0) {
        return true;
    }
    int submitted;
    do {
        submitted = io_uring_submit(&m_ring);
    } while (submitted == -EINTR);
    if (submitted < 0) {
        return false;
    }
    for (unsigned taken = 0; taken < static_cast<unsigned>(submitted);) {
        io_uring_cqe* completion = nullptr;
        int waited = io_uring_wait_cqe(&m_ring, &completion);
        if (waited == -EINTR) {
            continue;
        }
        if (waited < 0) {
            return false;
        }
        uint64_t index = io_uring_cqe_get_data64(completion);
        int result = completion->res;
        io_uring_cqe_seen(&m_ring, completion);
        ++taken;
        if (index == kCloseDone) {
            continue;
        }
        if (opening) {
            files[index].handle = result >= 0 ? result : -1;
        } else {
            files[index].heldLength = result > 0 ? static_cast<size_t>(result) : 0;
        }
    }
    return static_cast<unsigned>(submitted) == wanted;
}

void PrefetchRing::CloseNow()
{
    for (int handle : m_toClose) {
        close(handle);
    }
    m_toClose.clear();
}

namespace {

// Rings outlive the jobs that use them: making one costs as much as opening a few dozen files,
// and a job over a list of files runs once for each folder the list names. Where the system
// refuses a ring, it is not asked again.
class RingPool {
public:
    std::unique_ptr<PrefetchRing> Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_rings.empty()) {
            std::unique_ptr<PrefetchRing> ring = std::move(m_rings.back());
            m_rings.pop_back();
            return ring;
        }
        if (m_refused) {
            return nullptr;
        }
        std::unique_ptr<PrefetchRing> ring(new PrefetchRing);
        m_refused = !ring->Ready();
        return m_refused ? nullptr : std::move(ring);
    }

    void Give(std::unique_ptr<PrefetchRing> ring)
    {
        ring->CloseNow();
        if (ring->Ready()) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_rings.push_back(std::move(ring));
        }
    }

private:
    std::mutex m_mutex;
    std::vector<std::unique_ptr<PrefetchRing>> m_rings;
    bool m_refused = false;
};

RingPool& Rings()
{
    static RingPool pool;
    return pool;
}

}  // namespace

FilePrefetch::FilePrefetch() : m_ring(Rings().Take()) {}

FilePrefetch::~FilePrefetch()
{
    if (m_ring != nullptr) {
        Rings().Give(std::move(m_ring));
    }
}

bool FilePrefetch::Works() const { return m_ring != nullptr && m_ring->Ready(); }

void FilePrefetch::Fetch(const PrefetchPlace* places, size_t count)
{
    count = count < kMostFiles ? count : kMostFiles;
    for (PrefetchedFile& file : m_files) {
        file = PrefetchedFile();
    }
    if (m_ring != nullptr) {
        m_ring->Fetch(places, count, m_files);
    }
}
