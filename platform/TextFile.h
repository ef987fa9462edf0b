#pragma once

#include "platform/RawFile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the text of one block read stands in the file as stored.
struct StoredBlockMap {
    uint64_t storedStart = 0;             // stored offset of the block's first byte
    std::vector<uint32_t> droppedCrLines;  // ascending: the index in the block of each line feed
                                          // whose CR was dropped

    // The stored offset of the block's byte at `index`.
    uint64_t StoredOffset(size_t index) const;
};

// Text-mode reading as the platform runtime does it (CR LF reads as LF, a byte 0x1A ends
// reading), with a guarantee that the runtime's own streams cannot give: a source is read only
// up to the size it had when it was opened, so a scan of the log itself never reads back the
// records that the same scan appends.

// Reads a regular file as text. Anything else (a folder, a FIFO, a device) does not open.
class TextReader {
public:
    bool Open(const char* path);
    // Opens `name` in `folder`, as RawFile::OpenForReadingIn does.
    bool OpenIn(const class FolderHandle& folder, const char* name, bool followLinks);
    // Reads a file that was opened ahead (its handle not -1), its bytes read ahead first; they
    // must last while the reader reads.
    void OpenPrefetched(const struct PrefetchedFile& file);
    // Where the whole file stands, read ahead, before anything is read: a first Read into it,
    // with `capacity` (set here), takes the file where it is rather than copying it. Null
    // otherwise.
    char* HeldInPlace(size_t& capacity) const;
    // Fills `buffer` with up to `capacity` bytes of text; 0 at the end, or on a read error.
    // With `map`, also tells where the text stands in the file.
    size_t Read(char* buffer, size_t capacity, StoredBlockMap* map = nullptr);
    // True when the file began with a UTF-16 byte order mark (FE FF: `bigEndian`). Then the first
    // Read gave that block as stored, mark included, without the text mode's changes, and the
    // rest of the file is for ReadRaw. Telling it from the first block costs no read of its own.
    bool BeganWithUtf16Mark(bool& bigEndian) const
    {
        bigEndian = m_utf16Mark == 2;
        return m_utf16Mark != 0;
    }
    // Fills `buffer` with up to `capacity` bytes as stored, without the text mode's changes: for
    // a file whose first bytes say that it is no text in the code page. 0 at the end, or on a
    // read error.
    size_t ReadRaw(char* buffer, size_t capacity);
    // Reads the file up to its size now, rather than its size at opening: for a file that grew
    // after it was opened and before it is read.
    bool TakeSizeAgain();
    // The open file's number and identity (RawFile::GetFileNumber, RawFile::GetIdentity).
    bool GetFileNumber(uint64_t& number) const { return m_file.GetFileNumber(number); }
    bool GetIdentity(FolderIdentity& identity) { return m_file.GetIdentity(identity); }
    // Why Open failed, or why the text ended early.
    const Failure& GetFailure() const { return m_failure; }

    // Where the reader is, to read on from there again after reading ahead.
    struct Position {
        uint64_t bytesLeft;
        bool pendingCr;
        bool ended;
    };
    Position Tell() const { return Position{m_bytesLeft, m_pendingCr, m_ended}; }
    bool Seek(const Position& position);

    // The bytes of the file after the 0x1A that ended its text, as they stand, up to its size at
    // opening: what a judgement on the whole file needs. 0 when they are all read, or when no
    // 0x1A ended the text. Seek back to read text again.
    size_t ReadPastEnd(char* buffer, size_t capacity);

private:
    void NotePastEnd(const char* buffer, size_t decoded, size_t raw);
    size_t ReadFile(char* buffer, size_t capacity);
    bool SeekFile(uint64_t offset);

    int m_utf16Mark = 0;  // 1: FF FE, 2: FE FF began the file
    RawFile m_file;
    Failure m_failure;
    uint64_t m_size = 0;  // at opening
    uint64_t m_bytesLeft = 0;  // of the size at opening
    bool m_pendingCr = false;  // a CR ended the last raw block: its fate depends on the next byte
    bool m_ended = false;
    uint64_t m_pastEnd = UINT64_MAX;  // the offset after the 0x1A that ended the text, if any
    // The file's first bytes, read ahead: the handle stands after them.
    char* m_held = nullptr;
    size_t m_heldLength = 0;
    size_t m_heldAt = 0;    // where reading goes on in them
    uint64_t m_fileAt = 0;  // where the handle stands
};

// Removes the CR of every CR LF in [text, text + length) and cuts the text at a byte 0x1A, in
// place. Returns the new length; `ended` tells whether a 0x1A was found. A CR at the very end
// is left for the caller, who knows the next byte. With `droppedCrLines`, the new index of each
// line feed that lost its CR is added there.
size_t DecodeTextMode(char* text, size_t length, bool& ended,
                      std::vector<uint32_t>* droppedCrLines = nullptr);
