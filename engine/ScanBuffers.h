#pragma once

#include <cstddef>
#include <memory>

// The read buffers of one thread's scans, reused for every file it scans. Each scanning thread
// owns one; none is kept per thread by the runtime, whose thread-exit clean-up under MinGW can
// run after the memory it cleans has been freed.
class ScanBuffers {
public:
    static const size_t kBlockBytes = 128 * 1024;
    static const size_t kSpareBytes = 128 * 1024;

    // The block that text is read into. It starts on a page boundary: the system copies file
    // pages into it several times faster than into a buffer that is offset from one.
    char* Block();
    // A second buffer, for what is read beside the block: raw UTF-16 before conversion, or
    // the read-ahead that decides a file's encoding.
    char* Spare();

private:
    std::unique_ptr<char[]> m_block;
    std::unique_ptr<char[]> m_spare;
};
