#include "engine/ScanBuffers.h"

#include <cstdint>

namespace {

const size_t kPageBytes = 4096;

}  // namespace

char* ScanBuffers::Block()
{
    if (m_block == nullptr) {
        m_block.reset(new char[kBlockBytes + kPageBytes]);
    }
    uintptr_t address = reinterpret_cast<uintptr_t>(m_block.get());
    return m_block.get() + (kPageBytes - address % kPageBytes) % kPageBytes;
}

char* ScanBuffers::Spare()
{
    if (m_spare == nullptr) {
        m_spare.reset(new char[kSpareBytes]);
    }
    return m_spare.get();
}
