#pragma once

#include "platform/Directory.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// A file that FilePrefetch opened, found regular, and began to read.
struct PrefetchedFile {
    intptr_t handle = -1;         // -1: not opened ahead, for the usual open to open
    uint64_t size = 0;            // at opening
    FolderIdentity identity;
    char* held = nullptr;         // its first bytes, read ahead: the handle reads on after them.
                                  // The reader may decode them where they stand.
    size_t heldLength = 0;
};

// Where FilePrefetch opens a file: by its name in an open folder, or by its path.
struct PrefetchPlace {
    const FolderHandle* folder = nullptr;  // null: `name` is a path
    const char* name = nullptr;            // null: not opened ahead
    bool followLinks = false;
};

class PrefetchRing;

// Opens files and reads their first bytes a batch at a time, where the system takes a batch in
// one call (io_uring on Linux): a scan of many small files then pays the system a few calls a
// batch, rather than an open, a read and a close for each file, which on some systems cost more
// than reading the bytes. A file that does not open this way (missing, a link not to follow, no
// regular file) or cannot be read without waiting is left to the usual open and read, which tell
// why or wait. Where the system has no such calls, or refuses them, it opens nothing.
class FilePrefetch {
public:
    static constexpr size_t kMostFiles = 16;
    static constexpr size_t kHeldBytes = 32 * 1024;  // read ahead of each file

    FilePrefetch();
    ~FilePrefetch();
    FilePrefetch(const FilePrefetch&) = delete;
    FilePrefetch& operator=(const FilePrefetch&) = delete;

    // Whether it opens anything: else a caller has no reason to gather a batch.
    bool Works() const;
    // Opens the first kMostFiles of `places` and reads their first bytes. The files of the last
    // batch are closed meanwhile: what File() told of them is no longer valid.
    void Fetch(const PrefetchPlace* places, size_t count);
    // The file at places[index] of the last Fetch. Its handle stays this object's to close.
    const PrefetchedFile& File(size_t index) const { return m_files[index]; }

private:
    std::unique_ptr<PrefetchRing> m_ring;
    PrefetchedFile m_files[kMostFiles];
};
