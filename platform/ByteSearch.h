#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Searches over a block of text for the scanner and the text-mode reader, 32 bytes at a time
// where the processor has AVX2 (x86-64 outside Windows), 16 where it has SSE2, byte by byte
// elsewhere; the first search chooses for the whole run.

// The bytes that end a run of plain bytes: up to four given bytes, and any byte of 0x80 and
// above when `highBytes` is set.
struct StopBytes {
    unsigned char bytes[4];
    int count;
    bool highBytes;
};

// The first byte in [p, end) that is one of the stop bytes, or `end`.
const char* FindStopByte(const char* p, const char* end, const StopBytes& stops);

// The first byte in [p, end) of 0x80 or above, or `end`: where ASCII ends.
const char* FindHighByte(const char* p, const char* end);

// The first byte in [p, end) that is one of the stop bytes (the line feed is not one), or `end`, in
// the same pass that counts the line feeds before it: adds them to `lineFeeds`, and sets
// `lineStart` just past the last of them (untouched when there is none).
const char* FindStopByteCountingLines(const char* p, const char* end, const StopBytes& stops,
                                      size_t& lineFeeds, const char*& lineStart);

// The search that FindStopByteCountingLines makes on this processor for `stops`, for a caller
// that makes many short ones with the same stops: called directly, it is neither chosen again
// nor told again how many stop bytes it compares. Call it with those stops only.
using StopCountingSearch = const char* (*)(const char* p, const char* end, const StopBytes& stops,
                                           size_t& lineFeeds, const char*& lineStart);
StopCountingSearch ChosenStopCountingSearch(const StopBytes& stops);

// What a line's scan needs to know of 64 bytes, a bit for each byte: where the delimiter, the
// backslashes and the line feeds stand, the bytes that may need a closer look (NUL, and any
// byte of 0x80 and above), and which of the latter are lead bytes.
struct LineBytes {
    uint64_t delimiters;
    uint64_t backslashes;
    uint64_t lineFeeds;
    uint64_t nuls;
    uint64_t highs;
    uint64_t leads;
};

// The bytes a line's scan looks for: its delimiter, and the code page's lead bytes as up to two
// ranges of the high half, first to last. A range of {0, 0} marks none, as NUL is no high byte.
struct MarkedBytes {
    unsigned char delimiter;
    unsigned char leadFirst[2];
    unsigned char leadLast[2];
};

// The searches of a line's scan, as this processor runs them: chosen once, then called directly
// once a line or more.
struct LineSearches {
    // Finds the first line in [p, end) that holds `target`. Returns the start of that line (or,
    // when no line holds it, the start of the last, unterminated line) and adds the line feeds
    // before the returned position to `lineFeeds`.
    const char* (*find)(const char* p, const char* end, char target, size_t& lineFeeds);
    // Marks the 64 bytes from `p`, all of which must be readable, in one pass.
    void (*mark)(const char* p, const MarkedBytes& wanted, LineBytes& marks);
};
LineSearches ChosenLineSearches();

// Whether reading by marks pays on this processor: where a mask of 64 bits is one register. A
// 32-bit build shifts and searches it in halves, and reads faster byte by byte.
const bool kMarksPay = sizeof(void*) >= sizeof(uint64_t);

// Where the lowest set bit of a mark stands; `bits` must not be 0.
inline int LowestMarkedByte(uint64_t bits) { return __builtin_ctzll(bits); }

// Drops from [p, end) each CR that a line feed follows, moving the bytes that stay down over it,
// and returns the new end. A CR at end - 1 stays: what follows it is not known here.
char* DropCrsBeforeLineFeeds(char* p, char* end);
// The same, a byte at a time, noting in `dropped` (unless null) where the line feed of each CR
// dropped now stands, as an offset from `base`.
char* DropCrsNotingLines(char* p, char* end, const char* base, std::vector<uint32_t>* dropped);

// The same searches, a byte at a time: what a processor without SSE2 runs.
const char* FindLineWithByteByBytes(const char* p, const char* end, char target, size_t& lineFeeds);
const char* FindStopByteByBytes(const char* p, const char* end, const StopBytes& stops);
const char* FindStopByteCountingLinesByBytes(const char* p, const char* end, const StopBytes& stops,
                                             size_t& lineFeeds, const char*& lineStart);
void MarkLineBytesByBytes(const char* p, const MarkedBytes& wanted, LineBytes& marks);
char* DropCrsBeforeLineFeedsByBytes(char* p, char* end);
