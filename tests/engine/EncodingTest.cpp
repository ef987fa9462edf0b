// UTF-8 and code page 932: validation, decoding in pieces, and the conversion table.
#include "engine/Cp932.h"
#include "engine/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool IsValid(const std::string& text, size_t split = 0)
{
    Utf8Validator validator;
    validator.Feed(text.data(), text.data() + split);
    validator.Feed(text.data() + split, text.data() + text.size());
    return validator.Finish();
}

// "U+XXXX" for each character, "?HH" for each byte that is none.
std::string Decode(const std::vector<std::string>& pieces)
{
    std::string result;
    Utf8Decoder decoder;
    auto note = [&result](uint32_t character, const unsigned char* bytes, size_t) {
        char text[16];
        if (character == kNotACharacter) {
            std::snprintf(text, sizeof text, "?%02X ", bytes[0]);
        } else {
            std::snprintf(text, sizeof text, "U+%04X ", character);
        }
        result += text;
    };
    for (const std::string& piece : pieces) {
        decoder.Feed(piece.data(), piece.size(), note);
    }
    decoder.Finish(note);
    return result;
}

}  // namespace

TEST(Utf8Test, ValidatesWhateverTheSplit)
{
    const std::string valid[] = {"", "plain", "\xE3\x81\x82", "\xC2\xA0\xEF\xBD\xB1",
                                 "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF", std::string("a\0b", 3)};
    // Runs of ASCII longer than a block of the search around them, as in a source.
    const std::string run(70, 'a');
    for (const std::string& text : valid) {
        for (size_t split = 0; split <= text.size(); ++split) {
            EXPECT_TRUE(IsValid(text, split)) << text << " split at " << split;
            EXPECT_TRUE(IsValid(run + text + run + text, run.size() + split)) << text << " in runs";
        }
    }
    const std::string invalid[] = {
        "\x80",              // a continuation without a lead
        "\xC0\xAF",          // overlong '/'
        "\xC1\xBF",          // overlong
        "\xE0\x80\xAF",      // overlong
        "\xF0\x80\x80\xAF",  // overlong
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xF5\x80\x80\x80",
        "\xE3\x81",          // cut at the end
        "\x82\xA0",          // Shift_JIS あ
        "\xE3\x81\x22",
        "\xE3" "a\x81\x82",  // ASCII between a lead and its continuations
    };
    for (const std::string& text : invalid) {
        for (size_t split = 0; split <= text.size(); ++split) {
            EXPECT_FALSE(IsValid(text, split)) << "split at " << split;
            EXPECT_FALSE(IsValid(run + text + run, run.size() + split)) << "in runs, split at " << split;
        }
    }
}

TEST(Utf8Test, DecodesCharactersSplitBetweenPieces)
{
    EXPECT_EQ(Decode({"a\xE3", "\x81", "\x82z"}), "U+0061 U+3042 U+007A ");
    EXPECT_EQ(Decode({"\xF0\x9F", "\x98\x80"}), "U+1F600 ");
    // Bytes that begin no character are each taken alone; a cut character at the end too.
    EXPECT_EQ(Decode({"\xE3\x81", "\"x"}), "?E3 ?81 U+0022 U+0078 ");
    EXPECT_EQ(Decode({"\xC0\xAF"}), "?C0 ?AF ");
    EXPECT_EQ(Decode({"ok\xE3\x81"}), "U+006F U+006B ?E3 ?81 ");
}

TEST(Utf8Test, TheFirstContinuationByteKeepsToTheRangeOfItsLead)
{
    // Overlong forms, surrogates and characters beyond U+10FFFF, beside the first character in
    // range; whole, and cut after the lead byte and after the first continuation byte.
    const struct {
        std::string bytes;
        const char* decoded;
    } kCases[] = {
        {"\xE0\x9F\xBF", "?E0 ?9F ?BF "},         {"\xE0\xA0\x80", "U+0800 "},
        {"\xED\xA0\x80", "?ED ?A0 ?80 "},         {"\xED\x9F\xBF", "U+D7FF "},
        {"\xF0\x8F\xBF\xBF", "?F0 ?8F ?BF ?BF "}, {"\xF0\x90\x80\x80", "U+10000 "},
        {"\xF4\x90\x80\x80", "?F4 ?90 ?80 ?80 "}, {"\xF4\x8F\xBF\xBF", "U+10FFFF "},
        {"\xC3\xC0", "?C3 ?C0 "},                 {"\xE3\x81\xC0", "?E3 ?81 ?C0 "},
    };
    for (const auto& test : kCases) {
        const std::string& bytes = test.bytes;
        EXPECT_EQ(Decode({bytes}), test.decoded) << test.decoded;
        EXPECT_EQ(Decode({bytes.substr(0, 1), bytes.substr(1)}), test.decoded) << test.decoded;
        EXPECT_EQ(Decode({bytes.substr(0, 2), bytes.substr(2)}), test.decoded) << test.decoded;
        EXPECT_EQ(IsValid(bytes), test.decoded[0] == 'U') << test.decoded;
        size_t length = 0;
        const unsigned char* at = reinterpret_cast<const unsigned char*>(bytes.data());
        EXPECT_EQ(DecodeUtf8(at, at + bytes.size(), length) != kNotACharacter, test.decoded[0] == 'U')
            << test.decoded;
    }
}

TEST(Cp932Test, EveryCodeComesBackToItselfOrToThePreferredDuplicate)
{
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            uint32_t character = Cp932DoubleToUnicode(static_cast<unsigned char>(lead),
                                                      static_cast<unsigned char>(trail));
            if (character == 0) {
                continue;
            }
            ++characters;
            unsigned char bytes[2] = {};
            ASSERT_EQ(UnicodeToCp932(character, bytes), 2) << std::hex << lead << trail;
            EXPECT_EQ(Cp932DoubleToUnicode(bytes[0], bytes[1]), character);
        }
    }
    EXPECT_EQ(characters, 9604);
}

TEST(Cp932Test, KnowsTheCharactersThatMatter)
{
    unsigned char bytes[2] = {};
    ASSERT_EQ(UnicodeToCp932(0x3042, bytes), 2);  // あ
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 2), "\x82\xA0");
    ASSERT_EQ(UnicodeToCp932(0x30BD, bytes), 2);  // ソ, with its 0x5C trail byte
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 2), "\x83\x5C");
    ASSERT_EQ(UnicodeToCp932(0xFF71, bytes), 1);  // ｱ, half-width katakana
    EXPECT_EQ(bytes[0], 0xB1);
    ASSERT_EQ(UnicodeToCp932(0xFF5E, bytes), 2);  // ～, fullwidth tilde
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 2), "\x81\x60");
    ASSERT_EQ(UnicodeToCp932(0x2252, bytes), 2);  // ≒, also at 0x8790 among NEC's duplicates
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 2), "\x81\xE0");
    // Only the character itself: no look-alike for the wave dash, the yen sign or é.
    EXPECT_EQ(UnicodeToCp932(0x301C, bytes), 0);
    EXPECT_EQ(UnicodeToCp932(0x00A5, bytes), 0);
    EXPECT_EQ(UnicodeToCp932(0x00E9, bytes), 0);
    EXPECT_EQ(UnicodeToCp932(0x1F600, bytes), 0);
    EXPECT_EQ(Cp932SingleToUnicode(0xB1), 0xFF71u);
    EXPECT_EQ(Cp932SingleToUnicode(0x82), 0u);  // a lead byte
}
