#pragma once

#include "platform/ByteSearch.h"

#include <utility>

// Calls Search<count, high>::Run with `args` for the number of stop bytes and whether the high
// half stops: each search is made for what it compares, so that its loops hold no test of it.
template <template <int, bool> class Search, bool High, class... Args>
inline const char* WithStopCount(int count, Args&&... args)
{
    switch (count) {
    case 0: return Search<0, High>::Run(std::forward<Args>(args)...);
    case 1: return Search<1, High>::Run(std::forward<Args>(args)...);
    case 2: return Search<2, High>::Run(std::forward<Args>(args)...);
    case 3: return Search<3, High>::Run(std::forward<Args>(args)...);
    default: return Search<4, High>::Run(std::forward<Args>(args)...);
    }
}

template <template <int, bool> class Search, class... Args>
inline const char* WithKnownStops(const StopBytes& stops, Args&&... args)
{
    return stops.highBytes ? WithStopCount<Search, true>(stops.count, std::forward<Args>(args)...)
                           : WithStopCount<Search, false>(stops.count, std::forward<Args>(args)...);
}

// Search<count, high>::Run made for `stops`, as a plain function to call with them.
template <template <int, bool> class Search, bool High>
inline auto RunForStopCount(int count) -> decltype(&Search<0, High>::Run)
{
    switch (count) {
    case 0: return &Search<0, High>::Run;
    case 1: return &Search<1, High>::Run;
    case 2: return &Search<2, High>::Run;
    case 3: return &Search<3, High>::Run;
    default: return &Search<4, High>::Run;
    }
}

template <template <int, bool> class Search>
inline auto RunForStops(const StopBytes& stops) -> decltype(&Search<0, false>::Run)
{
    return stops.highBytes ? RunForStopCount<Search, true>(stops.count)
                           : RunForStopCount<Search, false>(stops.count);
}

// Each processor's versions of the block searches, for the choice made at start-up and for the
// tests, which hold every version this processor runs against the byte-by-byte one.

#if defined(__x86_64__) || defined(__i386__)
#define TOLVEK_HAS_SSE2_PATH 1

// 16 bytes at a time; call only where ProcessorHasSse2().
const char* FindLineWithByteSse2(const char* p, const char* end, char target, size_t& lineFeeds);
const char* FindStopByteSse2(const char* p, const char* end, const StopBytes& stops);
const char* FindStopByteCountingLinesSse2(const char* p, const char* end, const StopBytes& stops,
                                          size_t& lineFeeds, const char*& lineStart);
StopCountingSearch StopCountingSearchSse2(const StopBytes& stops);
void MarkLineBytesSse2(const char* p, const MarkedBytes& wanted, LineBytes& marks);
#endif

// 32 bytes at a time, where the build asks for them (platform/CMakeLists.txt says where).
#if defined(TOLVEK_AVX2_SEARCHES) && defined(__x86_64__)
#define TOLVEK_HAS_AVX2_PATH 1

bool ProcessorHasAvx2();
const char* FindLineWithByteAvx2(const char* p, const char* end, char target, size_t& lineFeeds);
const char* FindStopByteAvx2(const char* p, const char* end, const StopBytes& stops);
const char* FindStopByteCountingLinesAvx2(const char* p, const char* end, const StopBytes& stops,
                                          size_t& lineFeeds, const char*& lineStart);
StopCountingSearch StopCountingSearchAvx2(const StopBytes& stops);
void MarkLineBytesAvx2(const char* p, const MarkedBytes& wanted, LineBytes& marks);
char* DropCrsBeforeLineFeedsAvx2(char* p, char* end);
#endif
