#include "platform/TextFile.h"

#include "platform/ByteSearch.h"
#include "platform/Directory.h"
#include "platform/FilePrefetch.h"

#include <algorithm>
#include <cstring>

uint64_t StoredBlockMap::StoredOffset(size_t index) const
{
    // Each dropped CR up to and including the byte's own line feed lies before it.
    size_t dropped = static_cast<size_t>(
        std::upper_bound(droppedCrLines.begin(), droppedCrLines.end(), static_cast<uint32_t>(index)) -
        droppedCrLines.begin());
    return storedStart + index + dropped;
}

size_t DecodeTextMode(char* text, size_t length, bool& ended, std::vector<uint32_t>* droppedCrLines)
{
    // One pass finds the first byte that needs work; most text has neither.
    static const StopBytes kSpecial = {{'\r', 0x1A, 0, 0}, 2, false};
    ended = false;
    char* first = const_cast<char*>(FindStopByte(text, text + length, kSpecial));
    if (first == text + length) {
        return length;
    }
    if (void* eof = std::memchr(first, 0x1A, length - static_cast<size_t>(first - text))) {
        length = static_cast<size_t>(static_cast<char*>(eof) - text);
        ended = true;
    }
    char* cr = static_cast<char*>(std::memchr(first, '\r', length - static_cast<size_t>(first - text)));
    if (cr == nullptr) {
        return length;
    }
    // The blocks' own search where nobody asks where the CRs were, else the walk that notes them.
    char* end = droppedCrLines == nullptr ? DropCrsBeforeLineFeeds(cr, text + length)
                                          : DropCrsNotingLines(cr, text + length, text, droppedCrLines);
    return static_cast<size_t>(end - text);
}

bool TextReader::Open(const char* path)
{
    if (!m_file.OpenForReading(path, m_bytesLeft)) {
        m_failure = m_file.GetFailure();
        return false;
    }
    m_size = m_bytesLeft;
    return true;
}

void TextReader::OpenPrefetched(const PrefetchedFile& file)
{
    m_file.Adopt(file.handle, file.identity);
    m_size = m_bytesLeft = file.size;
    m_held = file.held;
    m_heldLength = file.heldLength;
    m_fileAt = file.heldLength;
}

char* TextReader::HeldInPlace(size_t& capacity) const
{
    if (m_held == nullptr || m_heldLength == 0 || m_heldLength != m_size || m_heldAt != 0 ||
        m_bytesLeft != m_size || m_pendingCr || m_ended) {
        return nullptr;
    }
    capacity = m_heldLength + 1;  // the whole file, and room for the test of a last CR
    return m_held;
}

// Reads from where the reader stands: what was read ahead first, then the file itself, filling
// `buffer` as one read of the file would. Read whole where they stand, the bytes read ahead are
// the caller's to change: what is read again comes from the file.
size_t TextReader::ReadFile(char* buffer, size_t capacity)
{
    size_t fromHeld = 0;
    if (m_heldAt < m_heldLength) {
        fromHeld = std::min(capacity, m_heldLength - m_heldAt);
        if (buffer == m_held + m_heldAt && fromHeld == m_heldLength - m_heldAt) {
            m_held = nullptr;
            m_heldLength = m_heldAt = 0;
        } else {
            std::memmove(buffer, m_held + m_heldAt, fromHeld);
            m_heldAt += fromHeld;
        }
        if (fromHeld == capacity) {
            return fromHeld;
        }
    }
    size_t got = m_file.Read(buffer + fromHeld, capacity - fromHeld);
    m_fileAt += got;
    return fromHeld + got;
}

// Goes to `offset` in the file: within the bytes read ahead the handle stands after them. The
// handle moves only when it must: the look-ahead of most files comes back to where it began.
bool TextReader::SeekFile(uint64_t offset)
{
    uint64_t fileOffset = offset;
    if (offset < m_heldLength) {
        m_heldAt = static_cast<size_t>(offset);
        fileOffset = m_heldLength;
    } else {
        m_heldAt = m_heldLength;
    }
    if (fileOffset == m_fileAt) {
        return true;
    }
    if (!m_file.Seek(fileOffset)) {
        return false;
    }
    m_fileAt = fileOffset;
    return true;
}

size_t TextReader::ReadRaw(char* buffer, size_t capacity)
{
    if (m_ended) {
        return 0;
    }
    size_t wanted = capacity < m_bytesLeft ? capacity : static_cast<size_t>(m_bytesLeft);
    size_t got = wanted > 0 ? ReadFile(buffer, wanted) : 0;
    m_bytesLeft -= got;
    if (got == 0) {
        m_ended = true;
        m_failure = m_file.GetFailure();
    }
    return got;
}

bool TextReader::OpenIn(const FolderHandle& folder, const char* name, bool followLinks)
{
    if (!m_file.OpenForReadingIn(folder, name, followLinks, m_bytesLeft)) {
        m_failure = m_file.GetFailure();
        return false;
    }
    m_size = m_bytesLeft;
    return true;
}

bool TextReader::TakeSizeAgain()
{
    if (!m_file.GetSizeNow(m_bytesLeft)) {
        m_failure = m_file.GetFailure();
        return false;
    }
    m_size = m_bytesLeft;
    return true;
}

bool TextReader::Seek(const Position& position)
{
    if (!SeekFile(m_size - position.bytesLeft)) {
        m_failure = m_file.GetFailure();
        m_ended = true;
        return false;
    }
    m_bytesLeft = position.bytesLeft;
    m_pendingCr = position.pendingCr;
    m_ended = position.ended;
    return true;
}

// The decoding moved only bytes before the 0x1A, towards the start, and none of them is 0x1A: the
// first one at or after the decoded text's end is where the raw block had it.
void TextReader::NotePastEnd(const char* buffer, size_t decoded, size_t raw)
{
    const char* eof = static_cast<const char*>(std::memchr(buffer + decoded, 0x1A, raw - decoded));
    if (eof != nullptr) {
        uint64_t bytesAfter = static_cast<uint64_t>(buffer + raw - (eof + 1));
        m_pastEnd = m_size - m_bytesLeft - bytesAfter;
    }
}

size_t TextReader::ReadPastEnd(char* buffer, size_t capacity)
{
    if (m_pastEnd >= m_size || !SeekFile(m_pastEnd)) {
        return 0;
    }
    uint64_t left = m_size - m_pastEnd;
    size_t got = ReadFile(buffer, capacity < left ? capacity : static_cast<size_t>(left));
    m_pastEnd += got;
    return got;
}

size_t TextReader::Read(char* buffer, size_t capacity, StoredBlockMap* map)
{
    // buffer[0] may take the CR held back from the last block; raw bytes go after it.
    while (!m_ended && capacity >= 2) {
        size_t start = m_pendingCr ? 1 : 0;
        if (map != nullptr) {
            map->storedStart = m_size - m_bytesLeft - start;
            map->droppedCrLines.clear();
        }
        size_t wanted = capacity - start;
        if (wanted > m_bytesLeft) {
            wanted = static_cast<size_t>(m_bytesLeft);
        }
        size_t got = wanted > 0 ? ReadFile(buffer + start, wanted) : 0;
        m_bytesLeft -= got;
        if (got == 0) {
            m_ended = true;
            m_failure = m_file.GetFailure();
            if (m_pendingCr) {
                m_pendingCr = false;
                buffer[0] = '\r';
                return 1;
            }
            return 0;
        }
        if (start == 0 && m_size - m_bytesLeft == got && got >= 2) {
            bool little = std::memcmp(buffer, "\xFF\xFE", 2) == 0;
            if (little || std::memcmp(buffer, "\xFE\xFF", 2) == 0) {
                m_utf16Mark = little ? 1 : 2;
                return got;  // UTF-16: no text in the code page, so no text mode
            }
        }
        if (m_pendingCr) {
            buffer[0] = '\r';
            m_pendingCr = false;
        }
        bool sawEof = false;
        size_t length = DecodeTextMode(buffer, start + got, sawEof,
                                       map != nullptr ? &map->droppedCrLines : nullptr);
        m_ended = sawEof;
        if (sawEof) {
            NotePastEnd(buffer, length, start + got);
        }
        if (!sawEof && length > 0 && buffer[length - 1] == '\r') {
            m_pendingCr = true;
            --length;
        }
        if (length > 0) {
            return length;
        }
    }
    return 0;
}
