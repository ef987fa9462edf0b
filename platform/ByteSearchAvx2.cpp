#include "platform/ByteSearchPaths.h"

#if defined(TOLVEK_HAS_AVX2_PATH)

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#define TOLVEK_AVX2 __attribute__((target("avx2,popcnt")))

namespace {

// The stop bytes, each in every lane: the first `Compares` of them, as many as a search made for
// them compares.
struct WantedBytes {
    __m256i bytes[4];
};

template <int Compares>
TOLVEK_AVX2 inline WantedBytes Wanted(const StopBytes& stops)
{
    WantedBytes wanted{};
    for (int index = 0; index < Compares; ++index) {
        wanted.bytes[index] = _mm256_set1_epi8(static_cast<char>(stops.bytes[index]));
    }
    return wanted;
}

// The lanes of `chunk` equal to one of the first `Compares` stop bytes.
template <int Compares>
TOLVEK_AVX2 inline __m256i EqualLanes(__m256i chunk, const WantedBytes& wanted)
{
    __m256i found = _mm256_setzero_si256();
    for (int index = 0; index < Compares; ++index) {
        found = _mm256_or_si256(found, _mm256_cmpeq_epi8(chunk, wanted.bytes[index]));
    }
    return found;
}

// The lanes of `chunk` that hold a stop byte (their high bit is set), for a search that knows how
// many stop bytes there are and whether the high half stops too.
template <int Compares, bool High>
TOLVEK_AVX2 inline __m256i KnownStopsIn(__m256i chunk, const WantedBytes& wanted)
{
    __m256i equal = EqualLanes<Compares>(chunk, wanted);
    return High ? _mm256_or_si256(equal, chunk) : equal;
}

TOLVEK_AVX2 inline uint32_t MaskOf(__m256i lanes)
{
    return static_cast<uint32_t>(_mm256_movemask_epi8(lanes));
}

// The masks of 64 bytes' two halves, joined.
TOLVEK_AVX2 inline uint64_t MaskOf(__m256i low, __m256i high)
{
    return MaskOf(low) | static_cast<uint64_t>(MaskOf(high)) << 32;
}

TOLVEK_AVX2 inline __m256i Load(const char* at)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

// The line feeds before the first stop byte, when there is one.
inline uint64_t FeedsBeforeStop(uint64_t feeds, uint64_t stopMask)
{
    return stopMask != 0 ? feeds & ((stopMask & (0 - stopMask)) - 1) : feeds;
}

// `mask` holds a bit for each line feed among the 64 bytes from `base`.
TOLVEK_AVX2 inline void AddLineFeeds(const char* base, uint64_t mask, size_t& lineFeeds,
                                     const char*& lineStart)
{
    if (mask != 0) {
        lineFeeds += static_cast<size_t>(__builtin_popcountll(mask));
        lineStart = base + (63 - __builtin_clzll(mask)) + 1;
    }
}

}  // namespace

bool ProcessorHasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}

namespace {

template <int Compares, bool High>
struct FindStopAvx2 {
    static TOLVEK_AVX2 const char* Run(const char* p, const char* end, const StopBytes& stops)
    {
        const WantedBytes wanted = Wanted<Compares>(stops);
        for (; end - p >= 64; p += 64) {
            uint64_t mask = MaskOf(KnownStopsIn<Compares, High>(Load(p), wanted),
                                   KnownStopsIn<Compares, High>(Load(p + 32), wanted));
            if (mask != 0) {
                return p + __builtin_ctzll(mask);
            }
        }
        if (end - p >= 32) {
            uint32_t mask = MaskOf(KnownStopsIn<Compares, High>(Load(p), wanted));
            if (mask != 0) {
                return p + __builtin_ctz(mask);
            }
            p += 32;
        }
        if (p == end) {
            return end;
        }
        // The last bytes, in the 32 that end the range; those already searched are left out.
        uint32_t mask = MaskOf(KnownStopsIn<Compares, High>(Load(end - 32), wanted)) >> (32 - (end - p));
        return mask != 0 ? p + __builtin_ctz(mask) : end;
    }
};

template <int Compares, bool High>
struct FindStopCountingAvx2 {
    static TOLVEK_AVX2 const char* Run(const char* p, const char* end, const StopBytes& stops,
                                       size_t& lineFeeds, const char*& lineStart)
    {
        if (end - p < 32) {
            return FindStopByteCountingLinesByBytes(p, end, stops, lineFeeds, lineStart);
        }
        const WantedBytes wanted = Wanted<Compares>(stops);
        const __m256i lineFeed = _mm256_set1_epi8('\n');
        for (; end - p >= 64; p += 64) {
            __m256i low = Load(p);
            __m256i high = Load(p + 32);
            uint64_t stopMask = MaskOf(KnownStopsIn<Compares, High>(low, wanted), KnownStopsIn<Compares, High>(high, wanted));
            uint64_t feeds = MaskOf(_mm256_cmpeq_epi8(low, lineFeed), _mm256_cmpeq_epi8(high, lineFeed));
            AddLineFeeds(p, FeedsBeforeStop(feeds, stopMask), lineFeeds, lineStart);
            if (stopMask != 0) {
                return p + __builtin_ctzll(stopMask);
            }
        }
        while (p < end) {
            // 32 bytes, or the last 32 of the range with those already searched left out.
            int shift = end - p >= 32 ? 0 : 32 - static_cast<int>(end - p);
            __m256i chunk = Load(p - shift);
            uint64_t stopMask = MaskOf(KnownStopsIn<Compares, High>(chunk, wanted)) >> shift;
            uint64_t feeds = MaskOf(_mm256_cmpeq_epi8(chunk, lineFeed)) >> shift;
            AddLineFeeds(p, FeedsBeforeStop(feeds, stopMask), lineFeeds, lineStart);
            if (stopMask != 0) {
                return p + __builtin_ctzll(stopMask);
            }
            p += 32 - shift;
        }
        return end;
    }
};

}  // namespace

TOLVEK_AVX2 const char* FindStopByteAvx2(const char* p, const char* end, const StopBytes& stops)
{
    if (end - p < 32) {
        return FindStopByteByBytes(p, end, stops);
    }
    return WithKnownStops<FindStopAvx2>(stops, p, end, stops);
}

TOLVEK_AVX2 const char* FindStopByteCountingLinesAvx2(const char* p, const char* end,
                                                      const StopBytes& stops, size_t& lineFeeds,
                                                      const char*& lineStart)
{
    return WithKnownStops<FindStopCountingAvx2>(stops, p, end, stops, lineFeeds, lineStart);
}

StopCountingSearch StopCountingSearchAvx2(const StopBytes& stops)
{
    return RunForStops<FindStopCountingAvx2>(stops);
}

namespace {

// The code page's lead bytes among 32: those in either range, and of the high half.
struct LeadRangesAvx2 {
    __m256i first[2];
    __m256i span[2];

    TOLVEK_AVX2 explicit LeadRangesAvx2(const MarkedBytes& wanted)
    {
        for (int range = 0; range < 2; ++range) {
            first[range] = _mm256_set1_epi8(static_cast<char>(wanted.leadFirst[range]));
            span[range] = _mm256_set1_epi8(static_cast<char>(wanted.leadLast[range] - wanted.leadFirst[range]));
        }
    }
    TOLVEK_AVX2 __m256i In(__m256i chunk) const
    {
        __m256i fromFirst = _mm256_sub_epi8(chunk, first[0]);
        __m256i fromSecond = _mm256_sub_epi8(chunk, first[1]);
        __m256i inFirst = _mm256_cmpeq_epi8(_mm256_min_epu8(fromFirst, span[0]), fromFirst);
        __m256i inSecond = _mm256_cmpeq_epi8(_mm256_min_epu8(fromSecond, span[1]), fromSecond);
        return _mm256_and_si256(_mm256_or_si256(inFirst, inSecond), chunk);  // the high bit
    }
};

}  // namespace

TOLVEK_AVX2 void MarkLineBytesAvx2(const char* p, const MarkedBytes& wanted, LineBytes& marks)
{
    const __m256i delimiter = _mm256_set1_epi8(static_cast<char>(wanted.delimiter));
    const __m256i backslash = _mm256_set1_epi8('\\');
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    const __m256i zero = _mm256_setzero_si256();
    __m256i low = Load(p);
    __m256i high = Load(p + 32);
    marks.delimiters = MaskOf(_mm256_cmpeq_epi8(low, delimiter), _mm256_cmpeq_epi8(high, delimiter));
    marks.backslashes = MaskOf(_mm256_cmpeq_epi8(low, backslash), _mm256_cmpeq_epi8(high, backslash));
    marks.lineFeeds = MaskOf(_mm256_cmpeq_epi8(low, lineFeed), _mm256_cmpeq_epi8(high, lineFeed));
    marks.nuls = MaskOf(_mm256_cmpeq_epi8(low, zero), _mm256_cmpeq_epi8(high, zero));
    marks.highs = MaskOf(low, high);
    marks.leads = 0;
    if (marks.highs != 0) {  // most lines of most sources are ASCII
        const LeadRangesAvx2 leads(wanted);
        marks.leads = MaskOf(leads.In(low), leads.In(high));
    }
}

namespace {

// For each mask of 8 bytes to drop, the places of the bytes that stay, in order: a shuffle that
// moves them to the front of the 8.
struct KeptBytes {
    unsigned char places[256][8];
    KeptBytes()
    {
        for (int mask = 0; mask < 256; ++mask) {
            int kept = 0;
            for (int at = 0; at < 8; ++at) {
                if ((mask & (1 << at)) == 0) {
                    places[mask][kept++] = static_cast<unsigned char>(at);
                }
            }
            for (; kept < 8; ++kept) {
                places[mask][kept] = 0x80;  // shuffles in a zero
            }
        }
    }
};

const KeptBytes kKeptBytes;

// Writes the 16 bytes of `chunk` at `out` but for those marked in `drops`, eight at a time, and
// returns the end of what it wrote. Up to 16 bytes from `out` are stored.
TOLVEK_AVX2 inline char* StoreKept(char* out, __m128i chunk, uint32_t drops)
{
    uint32_t low = drops & 0xFF;
    uint32_t high = drops >> 8 & 0xFF;
    uint64_t lowPlaces;
    uint64_t highPlaces;
    std::memcpy(&lowPlaces, kKeptBytes.places[low], 8);
    std::memcpy(&highPlaces, kKeptBytes.places[high], 8);
    // The high half's places point into the high half of the chunk: 8 more each (a place with
    // its high bit set still shuffles in a zero).
    highPlaces += 0x0808080808080808ull;
    __m128i shuffle = _mm_set_epi64x(static_cast<long long>(highPlaces), static_cast<long long>(lowPlaces));
    __m128i kept = _mm_shuffle_epi8(chunk, shuffle);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), kept);
    out += 8 - __builtin_popcount(low);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_unpackhi_epi64(kept, kept));
    return out + 8 - __builtin_popcount(high);
}

}  // namespace

// 32 bytes at a time: a CR that a line feed follows is marked, and the bytes that stay are moved
// down by shuffles. Each store ends at or before the end of the bytes already loaded, so nothing
// is overwritten before it is read.
TOLVEK_AVX2 char* DropCrsBeforeLineFeedsAvx2(char* p, char* end)
{
    const __m256i carriageReturn = _mm256_set1_epi8('\r');
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    char* out = p;
    while (end - p > 32) {
        __m256i chunk = Load(p);
        __m256i next = Load(p + 1);
        uint32_t drops = MaskOf(_mm256_and_si256(_mm256_cmpeq_epi8(chunk, carriageReturn),
                                                 _mm256_cmpeq_epi8(next, lineFeed)));
        if (drops == 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), chunk);
            out += 32;
        } else if ((drops & (drops - 1)) == 0) {
            // One CR, as most lines have: the bytes after it come from the load one byte on, and
            // 31 of the 32 stored count (the last one is the next chunk's first).
            const __m256i places = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                                                    17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
            __m256i after = _mm256_cmpgt_epi8(places, _mm256_set1_epi8(static_cast<char>(__builtin_ctz(drops) - 1)));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_blendv_epi8(chunk, next, after));
            out += 31;
        } else {
            out = StoreKept(out, _mm256_castsi256_si128(chunk), drops & 0xFFFF);
            out = StoreKept(out, _mm256_extracti128_si256(chunk, 1), drops >> 16);
        }
        p += 32;
    }
    // The rest, fewer than 33 bytes, moved down first so that the walk finds them in place.
    size_t rest = static_cast<size_t>(end - p);
    std::memmove(out, p, rest);
    return DropCrsBeforeLineFeedsByBytes(out, out + rest);
}

// The start of the line that holds the target is just past the last line feed before it.
const char* FindLineWithByteAvx2(const char* p, const char* end, char target, size_t& lineFeeds)
{
    const StopBytes stops{{static_cast<unsigned char>(target), 0, 0, 0}, 1, false};
    const char* lineStart = p;
    FindStopCountingAvx2<1, false>::Run(p, end, stops, lineFeeds, lineStart);
    return lineStart;
}

#endif
