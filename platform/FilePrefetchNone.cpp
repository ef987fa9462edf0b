#include "platform/FilePrefetch.h"

// Where the system takes no batch of opens and reads: every file opens as usual.
class PrefetchRing {};

FilePrefetch::FilePrefetch() = default;
FilePrefetch::~FilePrefetch() = default;

bool FilePrefetch::Works() const { return false; }

void FilePrefetch::Fetch(const PrefetchPlace*, size_t)
{
    for (PrefetchedFile& file : m_files) {
        file = PrefetchedFile();
    }
}
