// The block searches against plain loops, on random text of every length around their strides.
#include "platform/ByteSearch.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

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
    static const char kAlphabet[] = "ab\n\n\"\r\x1A\\\x83\xB1";
    std::string text(length, ' ');
    for (char& byte : text) {
        byte = kAlphabet[random() % (sizeof kAlphabet - 1)];
    }
    return text;
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
            size_t feeds = 0;
            const char* expected = ReferenceLineWithByte(begin, end, target, expectedFeeds);
            ASSERT_EQ(FindLineWithByte(begin, end, target, feeds), expected) << length;
            ASSERT_EQ(feeds, expectedFeeds) << length;
            // What a processor without SSE2 runs agrees as well.
            size_t byteFeeds = 0;
            ASSERT_EQ(FindLineWithByteByBytes(begin, end, target, byteFeeds), expected) << length;
            ASSERT_EQ(byteFeeds, expectedFeeds) << length;
        }
    }
}

TEST(ByteSearchTest, FindStopByteAgreesWithAPlainLoop)
{
    std::mt19937 random(11);
    const StopBytes stops[] = {{{'\r', 0x1A, 0, 0}, 2, false}, {{'\n', 0, '"', '\\'}, 4, true}};
    for (const StopBytes& stop : stops) {
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
                bool stopsHere = stop.highBytes && byte >= 0x80;
                for (int index = 0; index < stop.count; ++index) {
                    stopsHere |= byte == stop.bytes[index];
                }
                if (stopsHere) {
                    break;
                }
                ++expected;
            }
            ASSERT_EQ(FindStopByte(begin, end, stop), expected) << length;
            ASSERT_EQ(FindStopByteByBytes(begin, end, stop), expected) << length;
        }
    }
}

TEST(ByteSearchTest, FindStopByteCountingLinesAgreesWithAPlainLoop)
{
    std::mt19937 random(13);
    const StopBytes stops[] = {{{'"', '\'', '/', 0}, 3, false}, {{'"', '\\', 0, 0}, 2, true}};
    for (const StopBytes& stop : stops) {
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
                bool stopsHere = stop.highBytes && byte >= 0x80;
                for (int index = 0; index < stop.count; ++index) {
                    stopsHere |= byte == stop.bytes[index];
                }
                if (stopsHere) {
                    break;
                }
                if (byte == '\n') {
                    ++expectedFeeds;
                    expectedLine = expected + 1;
                }
            }
            size_t feeds = 0;
            const char* line = nullptr;
            ASSERT_EQ(FindStopByteCountingLines(begin, end, stop, feeds, line), expected) << length;
            ASSERT_EQ(feeds, expectedFeeds) << length;
            ASSERT_EQ(line, expectedLine) << length;
            size_t byteFeeds = 0;
            const char* byteLine = nullptr;
            ASSERT_EQ(FindStopByteCountingLinesByBytes(begin, end, stop, byteFeeds, byteLine), expected);
            ASSERT_EQ(byteFeeds, expectedFeeds) << length;
            ASSERT_EQ(byteLine, expectedLine) << length;
        }
    }
}
