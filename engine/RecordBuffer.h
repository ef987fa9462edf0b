#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>

// Records gathered in memory, into which a record may also be written in place: room is made
// first, then the bytes written there are taken.
class RecordBuffer {
public:
    RecordBuffer() = default;
    RecordBuffer(RecordBuffer&& other) noexcept { swap(other); }
    RecordBuffer& operator=(RecordBuffer&& other) noexcept
    {
        swap(other);
        return *this;
    }

    // Never null, as for a string: an empty buffer's bytes are an empty text.
    const char* data() const { return m_bytes != nullptr ? m_bytes.get() : ""; }
    size_t size() const { return m_size; }
    size_t capacity() const { return m_capacity; }
    void clear() { m_size = 0; }

    // Room for `length` more bytes after the records, valid until the buffer changes.
    char* Room(size_t length)
    {
        if (length > m_capacity - m_size) {
            Grow(m_size + length);
        }
        return m_bytes.get() + m_size;
    }
    void Took(size_t length) { m_size += length; }
    void append(const char* bytes, size_t length)
    {
        if (length > 0) {
            std::memcpy(Room(length), bytes, length);
            m_size += length;
        }
    }

    void swap(RecordBuffer& other) noexcept
    {
        std::swap(m_bytes, other.m_bytes);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
    }
    // Gives the memory back.
    void Free()
    {
        m_bytes.reset();
        m_size = 0;
        m_capacity = 0;
    }

private:
    void Grow(size_t needed)
    {
        size_t capacity = m_capacity < 256 ? 256 : m_capacity * 2;
        if (capacity < needed) {
            capacity = needed;
        }
        std::unique_ptr<char[]> bytes(new char[capacity]);
        if (m_size > 0) {
            std::memcpy(bytes.get(), m_bytes.get(), m_size);
        }
        m_bytes = std::move(bytes);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_bytes;
    size_t m_size = 0;
    size_t m_capacity = 0;
};
