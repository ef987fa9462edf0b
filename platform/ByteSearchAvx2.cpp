#include "platform/ByteSearchPaths.h"

#if defined(TOLVEK_HAS_AVX2_PATH)

#include <immintrin.h>

#include <cstdint>

#define TOLVEK_AVX2 __attribute__((target("avx2,popcnt")))

namespace {

// The stop bytes, each in every lane, and the high bit of every lane when bytes of the high half
// stop too. Unused places repeat the first byte; each search compares only as many as it has.
struct WantedBytes {
    __m256i bytes[4];
    __m256i high;
};

TOLVEK_AVX2 inline WantedBytes Wanted(const StopBytes& stops)
{
    WantedBytes wanted;
    for (int index = 0; index < 4; ++index) {
        unsigned char byte = stops.bytes[index < stops.count ? index : 0];
        wanted.bytes[index] = _mm256_set1_epi8(static_cast<char>(byte));
    }
    wanted.high = _mm256_set1_epi8(static_cast<char>(stops.highBytes ? 0x80 : 0));
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

// The lanes of `chunk` that hold a stop byte (their high bit is set), for a search that knows
// how many stop bytes there are.
template <int Compares>
TOLVEK_AVX2 inline __m256i FirstStopsIn(__m256i chunk, const WantedBytes& wanted)
{
    return _mm256_or_si256(EqualLanes<Compares>(chunk, wanted), _mm256_and_si256(chunk, wanted.high));
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

// FindStopByteAvx2 with the number of stop bytes known, so that each block takes only the
// comparisons it needs: the text-mode reader looks for two bytes over whole files.
template <int Compares>
TOLVEK_AVX2 const char* FindStopByteComparing(const char* p, const char* end, const WantedBytes& wanted)
{
    for (; end - p >= 64; p += 64) {
        uint64_t mask = MaskOf(FirstStopsIn<Compares>(Load(p), wanted), FirstStopsIn<Compares>(Load(p + 32), wanted));
        if (mask != 0) {
            return p + __builtin_ctzll(mask);
        }
    }
    if (end - p >= 32) {
        uint32_t mask = MaskOf(FirstStopsIn<Compares>(Load(p), wanted));
        if (mask != 0) {
            return p + __builtin_ctz(mask);
        }
        p += 32;
    }
    if (p == end) {
        return end;
    }
    // The last bytes, in the 32 that end the range; those already searched are left out.
    uint32_t mask = MaskOf(FirstStopsIn<Compares>(Load(end - 32), wanted)) >> (32 - (end - p));
    return mask != 0 ? p + __builtin_ctz(mask) : end;
}

}  // namespace

TOLVEK_AVX2 const char* FindStopByteAvx2(const char* p, const char* end, const StopBytes& stops)
{
    if (end - p < 32) {
        return FindStopByteByBytes(p, end, stops);
    }
    const WantedBytes wanted = Wanted(stops);
    switch (stops.count) {
    case 0:
        return FindStopByteComparing<0>(p, end, wanted);
    case 1:
        return FindStopByteComparing<1>(p, end, wanted);
    case 2:
        return FindStopByteComparing<2>(p, end, wanted);
    case 3:
        return FindStopByteComparing<3>(p, end, wanted);
    default:
        return FindStopByteComparing<4>(p, end, wanted);
    }
}

namespace {

// The lanes of `chunk` that hold a stop byte, for a search that knows how many stop bytes there
// are and whether the high half stops too: the line search and code each compare few bytes.
template <int Compares, bool High>
TOLVEK_AVX2 inline __m256i KnownStopsIn(__m256i chunk, const WantedBytes& wanted)
{
    __m256i equal = EqualLanes<Compares>(chunk, wanted);
    return High ? _mm256_or_si256(equal, chunk) : equal;
}

template <int Compares, bool High>
TOLVEK_AVX2 const char* FindStopCountingComparing(const char* p, const char* end, const WantedBytes& wanted,
                                                  size_t& lineFeeds, const char*& lineStart)
{
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

template <bool High>
TOLVEK_AVX2 const char* FindStopCountingWith(const char* p, const char* end, const StopBytes& stops,
                                             size_t& lineFeeds, const char*& lineStart)
{
    const WantedBytes wanted = Wanted(stops);
    switch (stops.count) {
    case 0:
        return FindStopCountingComparing<0, High>(p, end, wanted, lineFeeds, lineStart);
    case 1:
        return FindStopCountingComparing<1, High>(p, end, wanted, lineFeeds, lineStart);
    case 2:
        return FindStopCountingComparing<2, High>(p, end, wanted, lineFeeds, lineStart);
    case 3:
        return FindStopCountingComparing<3, High>(p, end, wanted, lineFeeds, lineStart);
    default:
        return FindStopCountingComparing<4, High>(p, end, wanted, lineFeeds, lineStart);
    }
}

}  // namespace

TOLVEK_AVX2 const char* FindStopByteCountingLinesAvx2(const char* p, const char* end,
                                                      const StopBytes& stops, size_t& lineFeeds,
                                                      const char*& lineStart)
{
    if (end - p < 32) {
        return FindStopByteCountingLinesByBytes(p, end, stops, lineFeeds, lineStart);
    }
    return stops.highBytes ? FindStopCountingWith<true>(p, end, stops, lineFeeds, lineStart)
                           : FindStopCountingWith<false>(p, end, stops, lineFeeds, lineStart);
}

TOLVEK_AVX2 void MarkLineBytesAvx2(const char* p, unsigned char delimiter, LineBytes& marks)
{
    const __m256i wanted = _mm256_set1_epi8(static_cast<char>(delimiter));
    const __m256i backslash = _mm256_set1_epi8('\\');
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    const __m256i zero = _mm256_setzero_si256();
    __m256i low = Load(p);
    __m256i high = Load(p + 32);
    marks.delimiters = MaskOf(_mm256_cmpeq_epi8(low, wanted), _mm256_cmpeq_epi8(high, wanted));
    marks.backslashes = MaskOf(_mm256_cmpeq_epi8(low, backslash), _mm256_cmpeq_epi8(high, backslash));
    marks.lineFeeds = MaskOf(_mm256_cmpeq_epi8(low, lineFeed), _mm256_cmpeq_epi8(high, lineFeed));
    marks.nuls = MaskOf(_mm256_cmpeq_epi8(low, zero), _mm256_cmpeq_epi8(high, zero));
    marks.highs = MaskOf(low, high);
}

// The start of the line that holds the target is just past the last line feed before it.
const char* FindLineWithByteAvx2(const char* p, const char* end, char target, size_t& lineFeeds)
{
    const StopBytes stops{{static_cast<unsigned char>(target), 0, 0, 0}, 1, false};
    const char* lineStart = p;
    FindStopByteCountingLinesAvx2(p, end, stops, lineFeeds, lineStart);
    return lineStart;
}

#endif
