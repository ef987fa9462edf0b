// A literal's text both ways: the value a compiler reads, and a translation written back.
#include "engine/LiteralCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TokenCase {
    const char* token;
    SourceEncoding encoding;
    bool pairs;
    bool resourceScript;
};

LiteralToken Parse(const TokenCase& tokenCase)
{
    LiteralToken token;
    EXPECT_TRUE(ParseLiteralToken(tokenCase.token, tokenCase.encoding, tokenCase.pairs,
                                  tokenCase.resourceScript, token))
        << tokenCase.token;
    return token;
}

std::u32string Characters(const char* utf8)
{
    std::u32string characters;
    EXPECT_TRUE(Utf8ToCharacters(utf8, characters));
    return characters;
}

const SourceEncoding kSjis = SourceEncoding::Cp932;
const SourceEncoding kUtf8 = SourceEncoding::Utf8;

}  // namespace

TEST(LiteralCodecTest, ValuesAreWhatACompilerReads)
{
    struct Case {
        TokenCase token;
        const char* value;  // UTF-8; null: no value a translation file can carry
        const char* written;
    } cases[] = {
        {{"\"a\\n\\\"b\\\\\\t\"", kUtf8, false, false}, "a\n\"b\\\t", "a\\n\\\"b\\\\\\t"},
        {{"\"\x82\xA0\\x82\\xa0\"", kSjis, false, false}, "\xE3\x81\x82\xE3\x81\x82", nullptr},
        {{"\"\x95\x5C\\n\"", kSjis, false, false}, "\xE8\xA1\xA8\n", nullptr},  // 表 ends in 0x5C
        {{"L\"\\x3042\\u3044\"", kSjis, false, false}, "\xE3\x81\x82\xE3\x81\x84", nullptr},
        {{"u8\"\\xe3\\x81\\x82\"", kSjis, false, false}, "\xE3\x81\x82", nullptr},
        {{"\"say \"\"hi\"\"\"", kSjis, false, true}, "say \"hi\"", nullptr},
        {{"R\"d(a\\n\"b\r\nc)d\"", kUtf8, false, false}, "a\\n\"b\nc", "a\\n\"b\\nc"},
        {{"\"ab\\\ncd\"", kUtf8, false, false}, "abcd", "abcd"},
        {{"'x\\101'", kUtf8, true, false}, "xA", nullptr},
        // No value: an escape that is half a character, a NUL, an unknown escape, a stray byte.
        {{"\"\\x82\"", kSjis, false, false}, nullptr, "\\x82"},
        {{"\"\x90\x56\x8B\x4B\\0\x8A\x4A\x82\xAD\\0\"", kSjis, false, false}, nullptr,
         "\xE6\x96\xB0\xE8\xA6\x8F\\0\xE9\x96\x8B\xE3\x81\x8F\\0"},
        {{"\"\\q\"", kUtf8, false, false}, nullptr, "\\q"},
        {{"\"a\x82\"", kSjis, false, false}, nullptr, "a\\202"},
        {{"\"a\\\"", kUtf8, true, false}, nullptr, "a\\"},
    };
    for (const Case& test : cases) {
        LiteralToken token = Parse(test.token);
        std::u32string value;
        bool decoded = DecodeLiteralValue(token, value);
        EXPECT_EQ(decoded, test.value != nullptr) << test.token.token;
        if (decoded) {
            EXPECT_EQ(CharactersToUtf8(value), test.value) << test.token.token;
        }
        if (test.written != nullptr) {
            EXPECT_EQ(CharactersToUtf8(WrittenText(token)), test.written) << test.token.token;
        }
    }
}

TEST(LiteralCodecTest, NotATokenIsTold)
{
    LiteralToken token;
    for (const char* bytes : {"abc", "\"abc", "Q\"a\"", "R\"(a)x\"", ""}) {
        EXPECT_FALSE(ParseLiteralToken(bytes, kUtf8, false, false, token)) << bytes;
    }
}

TEST(LiteralCodecTest, TranslationsAreWrittenInTheLiteralsOwnLanguage)
{
    struct Case {
        TokenCase token;
        const char* text;
        bool written;
        const char* result;  // the new token; null: refused
    } cases[] = {
        {{"\"x\"", kSjis, false, false}, "\xE3\x80\x90\"a\"\n\\\xE3\x80\x91", false,
         "\"\x81\x79\\\"a\\\"\\n\\\\\x81\x7A\""},
        {{"\"x\"", kSjis, false, true}, "say \"hi\"", false, "\"say \"\"hi\"\"\""},
        {{"L\"x\"", kSjis, false, false}, "\xC3\xA9", false, nullptr},
        {{"R\"d(x)d\"", kUtf8, false, false}, "a\nb", false, "R\"d(a\r\nb)d\""},
        {{"\"x\"", kUtf8, false, false}, "a\x01", false, "\"a\\001\""},
        {{"\"x\"", kSjis, false, false}, "\xF0\x9F\x98\x80", false, nullptr},  // no such character
        {{"\"x\"", kSjis, false, false}, "\xC3\xA9", false, nullptr},          // é: not in cp932
        {{"R\"d(x)d\"", kUtf8, false, false}, "a)d\"b", false, nullptr},
        {{"\"x\"", kUtf8, true, false}, "a\"b", false, "\"a\\\"b\""},
        {{"'x'", kUtf8, true, false}, "it's", false, "'it\\'s'"},
        {{"'x'", kUtf8, true, false}, "it's", true, nullptr},  // the delimiter pairs would split it
        {{"\"x\"", kSjis, false, false}, "\xE3\x80\x90\\0\xE3\x80\x91", true, "\"\x81\x79\\0\x81\x7A\""},
        {{"\"x\"", kUtf8, false, false}, "a\"b", true, nullptr},
        {{"\"x\"", kUtf8, false, false}, "a\nb", true, nullptr},
        {{"\"x\"", kUtf8, false, false}, "ab\\", true, nullptr},
        {{"\"x\"", kSjis, false, false}, "\\u3042", true, nullptr},
        {{"L\"x\"", kSjis, false, false}, "\\u3042", true, "L\"\\u3042\""},
        {{"\"\\u00e9\"", kSjis, false, false}, "(\\u00e9)", true, "\"(\\u00e9)\""},  // its own
        {{"\"x\"", kSjis, false, true}, "a\"\"b", true, "\"a\"\"b\""},
    };
    for (const Case& test : cases) {
        LiteralToken token = Parse(test.token);
        std::string bytes;
        std::string why;
        bool encoded = EncodeLiteralText(token, Characters(test.text), test.written, U"\r\n",
                                         bytes, why);
        EXPECT_EQ(encoded, test.result != nullptr) << test.text << " " << why;
        if (encoded && test.result != nullptr) {
            EXPECT_EQ(ReplaceTokenText(test.token.token, token, bytes), test.result) << test.text;
        } else {
            EXPECT_FALSE(why.empty()) << test.text;
        }
    }
}

TEST(LiteralCodecTest, Utf16TokensKeepTheirCodeUnits)
{
    std::string token("L\0\"\0a\0\\\0n\0\"\0", 12);
    LiteralToken parsed;
    ASSERT_TRUE(ParseLiteralToken(token, SourceEncoding::Utf16Le, false, true, parsed));
    std::u32string value;
    ASSERT_TRUE(DecodeLiteralValue(parsed, value));
    EXPECT_EQ(value, U"a\n");
    std::string bytes;
    std::string why;
    ASSERT_TRUE(EncodeLiteralText(parsed, U"\U0001F600", false, U"\n", bytes, why));
    EXPECT_EQ(ReplaceTokenText(token, parsed, bytes), std::string("L\0\"\0\x3D\xD8\x00\xDE\"\0", 10));
}
