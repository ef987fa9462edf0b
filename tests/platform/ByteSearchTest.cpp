// The block searches against plain loops, on random text of every length around their strides.
#include "platform/ByteSearch.h"
#include "platform/ByteSearchPaths.h"
#include "platform/CodePage.h"
#include "platform/Processor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const char* ReferenceLineWithByte(const char* p, const char* end, char target, size_t& lineFeeds)
{
    const char* lineStart = p;
    for (; p < end && *p != target; ++p) {
        if (*p == '\n') {
            ++lineFeeds;
            lineStart = p + 1;
        }
    }
    return lineStart;
}

std::string RandomText(std::mt19937& random, size_t length)
{
    static const char kAlphabet[] = "ab\n\n\"\r\x1A\\\x83\xB1\0";
    std::string text(length, ' ');
    for (char& byte : text) {
        byte = kAlphabet[random() % (sizeof kAlphabet - 1)];
    }
    return text;
}

// Every version of the searches this processor runs, the chosen one first.
struct SearchPath {
    const char* name;
    const char* (*findLine)(const char*, const char*, char, size_t&);
    const char* (*findStop)(const char*, const char*, const StopBytes&);
    const char* (*findStopCounting)(const char*, const char*, const StopBytes&, size_t&, const char*&);
    StopCountingSearch (*stopCountingFor)(const StopBytes&);
    void (*markLine)(const char*, const MarkedBytes&, LineBytes&);
    char* (*dropCrs)(char*, char*);
};

std::vector<SearchPath> PathsOfThisProcessor()
{
    const LineSearches chosen = ChosenLineSearches();
    std::vector<SearchPath> paths{
        {"chosen", chosen.find, FindStopByte, FindStopByteCountingLines, ChosenStopCountingSearch,
         chosen.mark, DropCrsBeforeLineFeeds},
        {"bytes", FindLineWithByteByBytes, FindStopByteByBytes, FindStopByteCountingLinesByBytes,
         [](const StopBytes&) -> StopCountingSearch { return FindStopByteCountingLinesByBytes; },
         MarkLineBytesByBytes, DropCrsBeforeLineFeedsByBytes}};
#if defined(TOLVEK_HAS_SSE2_PATH)
    if (ProcessorHasSse2()) {
        paths.push_back({"sse2", FindLineWithByteSse2, FindStopByteSse2, FindStopByteCountingLinesSse2,
                         StopCountingSearchSse2, MarkLineBytesSse2, DropCrsBeforeLineFeedsByBytes});
    }
#endif
#if defined(TOLVEK_HAS_AVX2_PATH)
    if (ProcessorHasAvx2()) {
        paths.push_back({"avx2", FindLineWithByteAvx2, FindStopByteAvx2, FindStopByteCountingLinesAvx2,
                         StopCountingSearchAvx2, MarkLineBytesAvx2, DropCrsBeforeLineFeedsAvx2});
    }
#endif
    return paths;
}

// What every search path must agree with: the stop bytes' definition, one byte at a time.
bool StopsAt(const StopBytes& stop, unsigned char byte)
{
    bool stops = stop.highBytes && byte >= 0x80;
    for (int index = 0; index < stop.count; ++index) {
        stops |= byte == stop.bytes[index];
    }
    return stops;
}

}  // namespace

TEST(ByteSearchTest, FindLineWithByteAgreesWithAPlainLoop)
{
    std::mt19937 random(7);
    for (size_t length = 0; length < 300; ++length) {
        for (int round = 0; round < 20; ++round) {
            std::string text = RandomText(random, length);
            // Mostly without the target, so that long stretches are counted too.
            char target = round % 2 == 0 ? '"' : 'z';
            const char* begin = text.data();
            const char* end = begin + text.size();
            size_t expectedFeeds = 0;
            const char* expected = ReferenceLineWithByte(begin, end, target, expectedFeeds);
            for (const SearchPath& path : PathsOfThisProcessor()) {
                size_t feeds = 0;
                ASSERT_EQ(path.findLine(begin, end, target, feeds), expected) << path.name << length;
                ASSERT_EQ(feeds, expectedFeeds) << path.name << length;
            }
        }
    }
}

// Every count of stop bytes, with and without the high half; no stop byte but the high half, as
// the encoding's judge asks: a NUL must not stop.
const StopBytes kEveryStopCount[] = {
    {{'\r', 0x1A, 0, 0}, 2, false}, {{'\n', 0, '"', '\\'}, 4, true}, {{0, 0, 0, 0}, 0, true},
    {{'"', 0, 0, 0}, 1, false},      {{'"', '\\', '\n', 0}, 3, true}, {{'"', '\'', '/', 0}, 3, false},
    {{'"', '\\', 0, 0}, 2, true},   {{'"', 0, 0, 0}, 1, true},        {{'\n', 0, '"', '\\'}, 4, false},
    {{0, 0, 0, 0}, 0, false}};

TEST(ByteSearchTest, FindStopByteAgreesWithAPlainLoop)
{
    std::mt19937 random(11);
    for (const StopBytes& stop : kEveryStopCount) {
        for (size_t length = 0; length < 300; ++length) {
            std::string text = RandomText(random, length);
            for (char& byte : text) {
                if (random() % 4 != 0) {
                    byte = 'x';
                }
            }
            const char* begin = text.data();
            const char* end = begin + text.size();
            const char* expected = begin;
            while (expected < end) {
                unsigned char byte = static_cast<unsigned char>(*expected);
                if (StopsAt(stop, byte)) {
                    break;
                }
                ++expected;
            }
            for (const SearchPath& path : PathsOfThisProcessor()) {
                ASSERT_EQ(path.findStop(begin, end, stop), expected) << path.name << length;
            }
        }
    }
}

TEST(ByteSearchTest, FindStopByteCountingLinesAgreesWithAPlainLoop)
{
    std::mt19937 random(13);
    for (const StopBytes& stop : kEveryStopCount) {
        for (size_t length = 0; length < 300; ++length) {
            std::string text = RandomText(random, length);
            for (char& byte : text) {
                if (random() % 8 != 0 && byte != '\n') {
                    byte = 'x';
                }
            }
            const char* begin = text.data();
            const char* end = begin + text.size();
            size_t expectedFeeds = 0;
            const char* expectedLine = nullptr;
            const char* expected = begin;
            for (; expected < end; ++expected) {
                unsigned char byte = static_cast<unsigned char>(*expected);
                if (StopsAt(stop, byte)) {
                    break;
                }
                if (byte == '\n') {
                    ++expectedFeeds;
                    expectedLine = expected + 1;
                }
            }
            for (const SearchPath& path : PathsOfThisProcessor()) {
                // Each path's search that chooses by the stops at each call, and the one made for them.
                for (StopCountingSearch search : {path.findStopCounting, path.stopCountingFor(stop)}) {
                    size_t feeds = 0;
                    const char* line = nullptr;
                    ASSERT_EQ(search(begin, end, stop, feeds, line), expected) << path.name << length;
                    ASSERT_EQ(feeds, expectedFeeds) << path.name << length;
                    ASSERT_EQ(line, expectedLine) << path.name << length;
                }
            }
        }
    }
}

TEST(ByteSearchTest, MarkLineBytesAgreesWithAPlainLoop)
{
    std::mt19937 random(17);
    for (int round = 0; round < 200; ++round) {
        std::string text = RandomText(random, 64);
        text[random() % 64] = '\0';
        // Bytes at each end of the ranges of lead bytes, and just outside them.
        const unsigned char edges[] = {0x80, 0x81, 0x9F, 0xA0, 0xDF, 0xE0, 0xFC, 0xFD, 0xFE, 0xFF};
        for (unsigned char edge : edges) {
            text[random() % 64] = static_cast<char>(edge);
        }
        unsigned char delimiter = round % 2 == 0 ? '"' : 'a';
        // Shift_JIS's two ranges of lead bytes, one range, and none.
        const MarkedBytes wantedRows[] = {{delimiter, {0x81, 0xE0}, {0x9F, 0xFC}},
                                          {delimiter, {0x81, 0}, {0xFE, 0}},
                                          {delimiter, {0, 0}, {0, 0}}};
        const MarkedBytes& wanted = wantedRows[round % 3];
        LineBytes expected{0, 0, 0, 0, 0, 0};
        for (int at = 0; at < 64; ++at) {
            unsigned char byte = static_cast<unsigned char>(text[at]);
            uint64_t bit = uint64_t{1} << at;
            expected.delimiters |= byte == delimiter ? bit : 0;
            expected.backslashes |= byte == '\\' ? bit : 0;
            expected.lineFeeds |= byte == '\n' ? bit : 0;
            expected.nuls |= byte == 0 ? bit : 0;
            expected.highs |= byte >= 0x80 ? bit : 0;
            bool lead = (byte >= wanted.leadFirst[0] && byte <= wanted.leadLast[0]) ||
                        (byte >= wanted.leadFirst[1] && byte <= wanted.leadLast[1]);
            expected.leads |= byte >= 0x80 && lead ? bit : 0;
        }
        for (const SearchPath& path : PathsOfThisProcessor()) {
            LineBytes marks;
            path.markLine(text.data(), wanted, marks);
            ASSERT_EQ(marks.delimiters, expected.delimiters) << path.name << round;
            ASSERT_EQ(marks.backslashes, expected.backslashes) << path.name << round;
            ASSERT_EQ(marks.lineFeeds, expected.lineFeeds) << path.name << round;
            ASSERT_EQ(marks.nuls, expected.nuls) << path.name << round;
            ASSERT_EQ(marks.highs, expected.highs) << path.name << round;
            ASSERT_EQ(marks.leads, expected.leads) << path.name << round;
        }
    }
}

TEST(ByteSearchTest, DropCrsBeforeLineFeedsAgreesWithAPlainLoop)
{
    std::mt19937 random(19);
    // Lines of every length, blank ones, lone CRs and runs of them, and a CR last of all; lines
    // of one CR to 32 bytes and more too, as most files hold.
    const char* const pieces[] = {"\r\n", "\r", "\n", "a", "\r\r\n", "xyz", "\x81\r\n",
                                  "    int value = Compute(index, 42);\r\n", "\tShow(\"text\");\r\n"};
    for (size_t length = 0; length < 400; ++length) {
        std::string text;
        while (text.size() < length) {
            text += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        }
        text.resize(length);
        std::string expected;
        for (size_t at = 0; at < text.size(); ++at) {
            if (!(text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')) {
                expected += text[at];
            }
        }
        for (const SearchPath& path : PathsOfThisProcessor()) {
            std::string buffer = text;
            char* end = path.dropCrs(&buffer[0], &buffer[0] + buffer.size());
            ASSERT_EQ(std::string(buffer.data(), end), expected) << path.name << length;
        }
    }
}

TEST(ByteSearchTest, LeadBytesMakeTheRangesTheMarksCompare)
{
    struct Row {
        const char* name;
        bool (*isLead)(int byte);
        bool inRanges;
        unsigned char first[2];
        unsigned char last[2];
    };
    const Row rows[] = {
        {"Shift_JIS", [](int byte) { return IsShiftJisLeadByte(static_cast<unsigned char>(byte)); }, true,
         {0x81, 0xE0}, {0x9F, 0xFC}},
        {"one range", [](int byte) { return byte >= 0x81 && byte <= 0xFE; }, true, {0x81, 0}, {0xFE, 0}},
        {"none", [](int) { return false; }, true, {0, 0}, {0, 0}},
        {"three ranges", [](int byte) { return byte == 0x81 || byte == 0x90 || byte == 0xA0; }, false,
         {0, 0}, {0, 0}},
        {"below the high half", [](int byte) { return byte == 0x7F || byte == 0x81; }, false, {0, 0}, {0, 0}},
    };
    for (const Row& row : rows) {
        LeadByteTable table{};
        for (int byte = 0; byte < 256; ++byte) {
            table.isLead[byte] = row.isLead(byte);
        }
        FindLeadRanges(table);
        EXPECT_EQ(table.inRanges, row.inRanges) << row.name;
        if (row.inRanges) {
            for (int range = 0; range < 2; ++range) {
                EXPECT_EQ(table.rangeFirst[range], row.first[range]) << row.name << range;
                EXPECT_EQ(table.rangeLast[range], row.last[range]) << row.name << range;
            }
        }
    }
}
