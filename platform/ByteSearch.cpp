#include "platform/ByteSearch.h"

#include "platform/ByteSearchPaths.h"
#include "platform/Processor.h"

#include <cstdint>
#include <cstring>

#if defined(TOLVEK_HAS_SSE2_PATH)
#include <emmintrin.h>
#endif

#if defined(__i386__)
// A 32-bit build runs the SSE2 searches only where the processor has SSE2; the system keeps its
// stack 4-byte aligned, so these functions align their own.
#define TOLVEK_SSE2 __attribute__((target("sse2"), force_align_arg_pointer))
#else
#define TOLVEK_SSE2
#endif

namespace {

bool IsStopByte(unsigned char byte, const StopBytes& stops)
{
    if (stops.highBytes && byte >= 0x80) {
        return true;
    }
    for (int index = 0; index < stops.count; ++index) {
        if (byte == stops.bytes[index]) {
            return true;
        }
    }
    return false;
}

const char* FindLineWithByteFrom(const char* p, const char* end, char target,
                                 const char* lineStart, size_t& lineFeeds)
{
    for (; p < end; ++p) {
        if (*p == target) {
            return lineStart;
        }
        if (*p == '\n') {
            ++lineFeeds;
            lineStart = p + 1;
        }
    }
    return lineStart;
}

}  // namespace

const char* FindLineWithByteByBytes(const char* p, const char* end, char target, size_t& lineFeeds)
{
    return FindLineWithByteFrom(p, end, target, p, lineFeeds);
}

const char* FindStopByteByBytes(const char* p, const char* end, const StopBytes& stops)
{
    while (p < end && !IsStopByte(static_cast<unsigned char>(*p), stops)) {
        ++p;
    }
    return p;
}

const char* FindStopByteCountingLinesByBytes(const char* p, const char* end, const StopBytes& stops,
                                             size_t& lineFeeds, const char*& lineStart)
{
    for (; p < end; ++p) {
        if (IsStopByte(static_cast<unsigned char>(*p), stops)) {
            return p;
        }
        if (*p == '\n') {
            ++lineFeeds;
            lineStart = p + 1;
        }
    }
    return p;
}

void MarkLineBytesByBytes(const char* p, const MarkedBytes& wanted, LineBytes& marks)
{
    marks = LineBytes{0, 0, 0, 0, 0, 0};
    for (int at = 0; at < 64; ++at) {
        uint64_t bit = uint64_t{1} << at;
        unsigned char byte = static_cast<unsigned char>(p[at]);
        bool lead = (byte >= wanted.leadFirst[0] && byte <= wanted.leadLast[0]) ||
                    (byte >= wanted.leadFirst[1] && byte <= wanted.leadLast[1]);
        marks.delimiters |= byte == wanted.delimiter ? bit : 0;
        marks.backslashes |= byte == '\\' ? bit : 0;
        marks.lineFeeds |= byte == '\n' ? bit : 0;
        marks.nuls |= byte == 0 ? bit : 0;
        marks.highs |= byte >= 0x80 ? bit : 0;
        marks.leads |= byte >= 0x80 && lead ? bit : 0;
    }
}

char* DropCrsNotingLines(char* p, char* end, const char* base, std::vector<uint32_t>* dropped)
{
    char* out = p;
    const char* in = p;
    while (in < end) {
        const char* nextCr = static_cast<const char*>(std::memchr(in, '\r', static_cast<size_t>(end - in)));
        if (nextCr == nullptr) {
            nextCr = end;
        }
        size_t run = static_cast<size_t>(nextCr - in);
        std::memmove(out, in, run);
        out += run;
        in = nextCr;
        if (in < end) {
            // A CR before LF disappears; any other CR stays. The last CR stays for the caller.
            if (in + 1 < end && in[1] == '\n') {
                ++in;
                if (dropped != nullptr) {
                    dropped->push_back(static_cast<uint32_t>(out - base));
                }
            }
            *out++ = *in++;
        }
    }
    return out;
}

char* DropCrsBeforeLineFeedsByBytes(char* p, char* end) { return DropCrsNotingLines(p, end, p, nullptr); }

#if defined(TOLVEK_HAS_SSE2_PATH)

// Line feeds are counted per byte lane (each lane counts up to 255 before it is added up), and
// the start of the line is looked for only once the target has been found.
TOLVEK_SSE2 const char* FindLineWithByteSse2(const char* p, const char* end, char target,
                                             size_t& lineFeeds)
{
    const char* begin = p;
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i wanted = _mm_set1_epi8(target);
    const __m128i zero = _mm_setzero_si128();
    __m128i laneCounts = zero;
    __m128i sums = zero;
    int rounds = 0;
    for (; end - p >= 64; p += 64) {
        __m128i chunks[4];
        __m128i anyHit = zero;
        for (int index = 0; index < 4; ++index) {
            chunks[index] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * index));
            anyHit = _mm_or_si128(anyHit, _mm_cmpeq_epi8(chunks[index], wanted));
        }
        if (_mm_movemask_epi8(anyHit) != 0) {
            break;
        }
        for (int index = 0; index < 4; ++index) {
            laneCounts = _mm_sub_epi8(laneCounts, _mm_cmpeq_epi8(chunks[index], lineFeed));
        }
        if (++rounds == 63) {  // 4 per round: a lane holds at most 252
            sums = _mm_add_epi64(sums, _mm_sad_epu8(laneCounts, zero));
            laneCounts = zero;
            rounds = 0;
        }
    }
    sums = _mm_add_epi64(sums, _mm_sad_epu8(laneCounts, zero));
    lineFeeds += static_cast<size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));

    // The last stretch, 16 bytes at a time: the exact hit, and the line feeds before it.
    const char* lineStart = nullptr;  // not known until a line feed is seen
    bool hit = false;
    for (; !hit && end - p >= 16; p += 16) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        unsigned feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lineFeed)));
        unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, wanted)));
        if (hits != 0) {
            feeds &= (hits & (0u - hits)) - 1;  // only the line feeds before the first hit
            hit = true;
        }
        if (feeds != 0) {
            for (unsigned bits = feeds; bits != 0; bits &= bits - 1) {
                ++lineFeeds;
            }
            lineStart = p + (31 - __builtin_clz(feeds)) + 1;
        }
    }
    if (lineStart == nullptr) {
        lineStart = hit ? p - 16 : p;
        while (lineStart > begin && lineStart[-1] != '\n') {
            --lineStart;
        }
    }
    return hit ? lineStart : FindLineWithByteFrom(p, end, target, lineStart, lineFeeds);
}

namespace {

// The stop bytes, each in every lane; each search compares only as many as it has, and the high
// half only where that stops (a template parameter each, so that the loops hold no test).
struct WantedLanes {
    __m128i bytes[4];
};

template <int Compares>
TOLVEK_SSE2 inline WantedLanes WantedIn(const StopBytes& stops)
{
    WantedLanes wanted{};
    for (int index = 0; index < Compares; ++index) {
        wanted.bytes[index] = _mm_set1_epi8(static_cast<char>(stops.bytes[index]));
    }
    return wanted;
}

// The lanes of `chunk` that hold a stop byte.
template <int Compares, bool High>
TOLVEK_SSE2 inline __m128i StopsIn(__m128i chunk, const WantedLanes& wanted)
{
    __m128i found = High ? chunk : _mm_setzero_si128();
    for (int index = 0; index < Compares; ++index) {
        found = _mm_or_si128(found, _mm_cmpeq_epi8(chunk, wanted.bytes[index]));
    }
    return found;
}

template <int Compares, bool High>
struct FindStopSse2 {
    static TOLVEK_SSE2 const char* Run(const char* p, const char* end, const StopBytes& stops)
    {
        const char* begin = p;
        const WantedLanes wanted = WantedIn<Compares>(stops);
        for (; end - p >= 64; p += 64) {
            __m128i any = _mm_setzero_si128();
            for (int index = 0; index < 4; ++index) {
                __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * index));
                any = _mm_or_si128(any, StopsIn<Compares, High>(chunk, wanted));
            }
            if (_mm_movemask_epi8(any) != 0) {
                break;
            }
        }
        for (; end - p >= 16; p += 16) {
            __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(StopsIn<Compares, High>(chunk, wanted)));
            if (mask != 0) {
                return p + __builtin_ctz(mask);
            }
        }
        if (p == end || end - begin < 16) {
            return FindStopByteByBytes(p, end, stops);
        }
        // The last bytes, in the 16 that end the range; those already searched are left out.
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(StopsIn<Compares, High>(chunk, wanted))) >>
                        (16 - (end - p));
        return mask != 0 ? p + __builtin_ctz(mask) : end;
    }
};

}  // namespace

TOLVEK_SSE2 const char* FindStopByteSse2(const char* p, const char* end, const StopBytes& stops)
{
    return WithKnownStops<FindStopSse2>(stops, p, end, stops);
}

// Without the POPCNT instruction, which not every processor that runs this path has, this beats
// the compiler's library call.
static inline size_t CountBits(uint64_t mask)
{
    mask = mask - ((mask >> 1) & 0x5555555555555555ull);
    mask = (mask & 0x3333333333333333ull) + ((mask >> 2) & 0x3333333333333333ull);
    mask = (mask + (mask >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<size_t>((mask * 0x0101010101010101ull) >> 56);
}

// `mask` holds a bit for each line feed among the 64 bytes from `base`.
static inline void AddLineFeeds(const char* base, uint64_t mask, size_t& lineFeeds, const char*& lineStart)
{
    if (mask != 0) {
        lineFeeds += CountBits(mask);
        lineStart = base + (63 - __builtin_clzll(mask)) + 1;
    }
}

// The line feeds before the first stop byte, when there is one.
static inline uint64_t FeedsBeforeStop(uint64_t feeds, uint64_t stopMask)
{
    return stopMask != 0 ? feeds & ((stopMask & (0 - stopMask)) - 1) : feeds;
}

// A bit for each lane of `lanes` whose top bit is set, moved up by `shift`.
static TOLVEK_SSE2 inline uint64_t LaneMask(__m128i lanes, int shift)
{
    return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(lanes))) << shift;
}

namespace {

// Both searches at once, 64 bytes a round (16 near the end, each in a loop of its own, so that
// the compiler unrolls the rounds): a bit mask of the stop bytes and one of the line feeds, so
// that each byte is read once.
template <int Compares, bool High>
struct FindStopCountingSse2 {
    static TOLVEK_SSE2 const char* Run(const char* p, const char* end, const StopBytes& stops,
                                       size_t& lineFeeds, const char*& lineStart)
    {
        const WantedLanes wanted = WantedIn<Compares>(stops);
        const __m128i lineFeed = _mm_set1_epi8('\n');
        const char* begin = p;
        for (; end - p >= 64; p += 64) {
            uint64_t stopMask = 0;
            uint64_t feeds = 0;
            for (int index = 0; index < 4; ++index) {
                __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * index));
                stopMask |= LaneMask(StopsIn<Compares, High>(chunk, wanted), 16 * index);
                feeds |= LaneMask(_mm_cmpeq_epi8(chunk, lineFeed), 16 * index);
            }
            AddLineFeeds(p, FeedsBeforeStop(feeds, stopMask), lineFeeds, lineStart);
            if (stopMask != 0) {
                return p + __builtin_ctzll(stopMask);
            }
        }
        for (; end - p >= 16; p += 16) {
            __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            uint64_t stopMask = LaneMask(StopsIn<Compares, High>(chunk, wanted), 0);
            uint64_t feeds = LaneMask(_mm_cmpeq_epi8(chunk, lineFeed), 0);
            AddLineFeeds(p, FeedsBeforeStop(feeds, stopMask), lineFeeds, lineStart);
            if (stopMask != 0) {
                return p + __builtin_ctzll(stopMask);
            }
        }
        if (p == end || end - begin < 16) {
            return FindStopByteCountingLinesByBytes(p, end, stops, lineFeeds, lineStart);
        }
        // The last bytes, in the 16 that end the range; those already searched are left out.
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
        int shift = 16 - static_cast<int>(end - p);
        uint64_t stopMask = static_cast<unsigned>(_mm_movemask_epi8(StopsIn<Compares, High>(chunk, wanted))) >> shift;
        uint64_t feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lineFeed))) >> shift;
        AddLineFeeds(p, FeedsBeforeStop(feeds, stopMask), lineFeeds, lineStart);
        return stopMask != 0 ? p + __builtin_ctzll(stopMask) : end;
    }
};

}  // namespace

TOLVEK_SSE2 const char* FindStopByteCountingLinesSse2(const char* p, const char* end,
                                                      const StopBytes& stops, size_t& lineFeeds,
                                                      const char*& lineStart)
{
    return WithKnownStops<FindStopCountingSse2>(stops, p, end, stops, lineFeeds, lineStart);
}

StopCountingSearch StopCountingSearchSse2(const StopBytes& stops)
{
    return RunForStops<FindStopCountingSse2>(stops);
}

// The bytes of `chunk` from `first` to first + `span`: those that subtracting `first` leaves no
// greater than `span`.
static TOLVEK_SSE2 inline __m128i InRange(__m128i chunk, __m128i first, __m128i span)
{
    __m128i from = _mm_sub_epi8(chunk, first);
    return _mm_cmpeq_epi8(_mm_min_epu8(from, span), from);
}

TOLVEK_SSE2 void MarkLineBytesSse2(const char* p, const MarkedBytes& wanted, LineBytes& marks)
{
    const __m128i delimiter = _mm_set1_epi8(static_cast<char>(wanted.delimiter));
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    const __m128i firstLeads = _mm_set1_epi8(static_cast<char>(wanted.leadFirst[0]));
    const __m128i firstSpan = _mm_set1_epi8(static_cast<char>(wanted.leadLast[0] - wanted.leadFirst[0]));
    const __m128i secondLeads = _mm_set1_epi8(static_cast<char>(wanted.leadFirst[1]));
    const __m128i secondSpan = _mm_set1_epi8(static_cast<char>(wanted.leadLast[1] - wanted.leadFirst[1]));
    marks = LineBytes{0, 0, 0, 0, 0, 0};
    for (int index = 0; index < 4; ++index) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * index));
        int shift = 16 * index;
        marks.delimiters |= LaneMask(_mm_cmpeq_epi8(chunk, delimiter), shift);
        marks.backslashes |= LaneMask(_mm_cmpeq_epi8(chunk, backslash), shift);
        marks.lineFeeds |= LaneMask(_mm_cmpeq_epi8(chunk, lineFeed), shift);
        marks.nuls |= LaneMask(_mm_cmpeq_epi8(chunk, zero), shift);
        uint64_t highs = LaneMask(chunk, shift);
        marks.highs |= highs;
        if (highs != 0) {  // most lines of most sources are ASCII
            __m128i leads = _mm_or_si128(InRange(chunk, firstLeads, firstSpan), InRange(chunk, secondLeads, secondSpan));
            marks.leads |= LaneMask(_mm_and_si128(leads, chunk), shift);  // the high bit: of the high half
        }
    }
}

#if defined(TOLVEK_HAS_AVX2_PATH) || !defined(__SSE2__)
#define TOLVEK_CHOOSES_SEARCHES 1

namespace {

StopCountingSearch StopCountingSearchByBytes(const StopBytes&) { return FindStopByteCountingLinesByBytes; }

// The searches this processor runs, chosen once.
struct Searches {
    const char* (*findLine)(const char*, const char*, char, size_t&);
    const char* (*findStop)(const char*, const char*, const StopBytes&);
    const char* (*findStopCounting)(const char*, const char*, const StopBytes&, size_t&,
                                    const char*&);
    StopCountingSearch (*stopCountingFor)(const StopBytes&);
    void (*markLine)(const char*, const MarkedBytes&, LineBytes&);
    char* (*dropCrs)(char*, char*);
};

Searches ChooseSearches()
{
#if defined(TOLVEK_HAS_AVX2_PATH)
    if (ProcessorHasAvx2()) {
        return Searches{FindLineWithByteAvx2, FindStopByteAvx2, FindStopByteCountingLinesAvx2,
                        StopCountingSearchAvx2, MarkLineBytesAvx2, DropCrsBeforeLineFeedsAvx2};
    }
#endif
    return ProcessorHasSse2()
               ? Searches{FindLineWithByteSse2, FindStopByteSse2, FindStopByteCountingLinesSse2,
                          StopCountingSearchSse2, MarkLineBytesSse2, DropCrsBeforeLineFeedsByBytes}
               : Searches{FindLineWithByteByBytes, FindStopByteByBytes, FindStopByteCountingLinesByBytes,
                          StopCountingSearchByBytes, MarkLineBytesByBytes, DropCrsBeforeLineFeedsByBytes};
}

const Searches& ChosenSearches()
{
    static const Searches searches = ChooseSearches();
    return searches;
}

}  // namespace
#endif

const char* FindStopByte(const char* p, const char* end, const StopBytes& stops)
{
#if !defined(TOLVEK_CHOOSES_SEARCHES)
    return FindStopByteSse2(p, end, stops);
#else
    return ChosenSearches().findStop(p, end, stops);
#endif
}

const char* FindStopByteCountingLines(const char* p, const char* end, const StopBytes& stops,
                                      size_t& lineFeeds, const char*& lineStart)
{
#if !defined(TOLVEK_CHOOSES_SEARCHES)
    return FindStopByteCountingLinesSse2(p, end, stops, lineFeeds, lineStart);
#else
    return ChosenSearches().findStopCounting(p, end, stops, lineFeeds, lineStart);
#endif
}

StopCountingSearch ChosenStopCountingSearch(const StopBytes& stops)
{
#if !defined(TOLVEK_CHOOSES_SEARCHES)
    return StopCountingSearchSse2(stops);
#else
    return ChosenSearches().stopCountingFor(stops);
#endif
}

LineSearches ChosenLineSearches()
{
#if !defined(TOLVEK_CHOOSES_SEARCHES)
    return LineSearches{FindLineWithByteSse2, MarkLineBytesSse2};
#else
    return LineSearches{ChosenSearches().findLine, ChosenSearches().markLine};
#endif
}

char* DropCrsBeforeLineFeeds(char* p, char* end)
{
#if !defined(TOLVEK_CHOOSES_SEARCHES)
    return DropCrsBeforeLineFeedsByBytes(p, end);
#else
    return ChosenSearches().dropCrs(p, end);
#endif
}

#else

const char* FindStopByte(const char* p, const char* end, const StopBytes& stops)
{
    return FindStopByteByBytes(p, end, stops);
}

const char* FindStopByteCountingLines(const char* p, const char* end, const StopBytes& stops,
                                      size_t& lineFeeds, const char*& lineStart)
{
    return FindStopByteCountingLinesByBytes(p, end, stops, lineFeeds, lineStart);
}

StopCountingSearch ChosenStopCountingSearch(const StopBytes&) { return FindStopByteCountingLinesByBytes; }

LineSearches ChosenLineSearches() { return LineSearches{FindLineWithByteByBytes, MarkLineBytesByBytes}; }

char* DropCrsBeforeLineFeeds(char* p, char* end) { return DropCrsBeforeLineFeedsByBytes(p, end); }

#endif

const char* FindHighByte(const char* p, const char* end)
{
    static const StopBytes kHighBytes = {{0, 0, 0, 0}, 0, true};
    return FindStopByte(p, end, kHighBytes);
}
