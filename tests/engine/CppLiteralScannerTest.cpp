// The C/C++ reader on its own: one table per group of rules, each source read whole and in
// blocks of every small size, which must agree.
#include "engine/CppLiteralScanner.h"

#include "engine/Conditions.h"
#include "platform/CodePage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "line:column:offset:length:prefix:text;" for each literal.
class PlaceCollector : public LiteralSink {
public:
    bool OnDelimiterLine() override
    {
        ++lines;
        return true;
    }
    void OnLiteral(const LiteralPlace& place, const LiteralText& text) override
    {
        found += std::to_string(place.line) + ":" + std::to_string(place.column) + ":" +
                 std::to_string(place.offset) + ":" + std::to_string(place.length) + ":" +
                 place.prefix + ":";
        size_t textStart = found.size();
        text.ForEachPiece([this](const char* piece, size_t size) { found.append(piece, size); });
        // A record escapes a NUL only where the reader says there may be one.
        EXPECT_TRUE(text.mayHoldNul || found.find('\0', textStart) == std::string::npos) << found;
        found += ";";
    }
    int lines = 0;
    std::string found;
};

std::string ScanCpp(const std::string& source, SourceKind kind, size_t chunk, bool utf8,
                    int32_t condition)
{
    PlaceCollector collector;
    CppLiteralScanner scanner(MakeScanSettings("", condition, SYNTAX_CPP), kind, collector);
    if (utf8) {
        scanner.ReadAsUtf8();
    }
    size_t step = chunk == 0 ? source.size() + 1 : chunk;
    for (size_t at = 0; at < source.size(); at += step) {
        size_t length = source.size() - at < step ? source.size() - at : step;
        scanner.Feed(source.data() + at, source.data() + at + length);
    }
    scanner.Finish();
    return collector.found;
}

// Only the texts, "text;" each; checks that every block size finds the same, and that each
// record's offset and length select a token that begins with its prefix and a quote.
std::string Texts(const std::string& source, SourceKind kind = SourceKind::Cpp, bool utf8 = false,
                  int32_t condition = STRFLG_ANY)
{
    std::string whole = ScanCpp(source, kind, 0, utf8, condition);
    for (size_t chunk = 1; chunk <= 9; ++chunk) {
        EXPECT_EQ(ScanCpp(source, kind, chunk, utf8, condition), whole) << "chunk " << chunk;
    }
    std::string texts;
    for (size_t at = 0; at < whole.size();) {
        size_t end = whole.find(';', at);
        // line:column:offset:length:prefix:text
        size_t fields[5];
        size_t from = at;
        for (size_t& field : fields) {
            field = whole.find(':', from);
            from = field + 1;
        }
        uint64_t offset = std::stoull(whole.substr(fields[1] + 1, fields[2] - fields[1] - 1));
        uint64_t length = std::stoull(whole.substr(fields[2] + 1, fields[3] - fields[2] - 1));
        std::string prefix = whole.substr(fields[3] + 1, fields[4] - fields[3] - 1);
        std::string token = source.substr(offset, length);
        EXPECT_EQ(token.substr(0, prefix.size() + 1), prefix + "\"") << token;
        EXPECT_EQ(token.back(), '"') << token;
        // Texts hold no ';' in these tables.
        texts += whole.substr(fields[4] + 1, end - fields[4] - 1) + ";";
        at = end + 1;
    }
    return texts;
}

class CppLiteralScannerTest : public testing::Test {
    CodePageScope m_shiftJis{kCodePageShiftJis};
};

struct Case {
    const char* source;
    const char* texts;
};

void ExpectTexts(const Case* cases, size_t count, SourceKind kind = SourceKind::Cpp)
{
    for (size_t index = 0; index < count; ++index) {
        EXPECT_EQ(Texts(cases[index].source, kind), cases[index].texts) << cases[index].source;
    }
}

}  // namespace

TEST_F(CppLiteralScannerTest, NothingInCommentsOrCharacterLiterals)
{
    const Case cases[] = {
        {"// \"a\"\n\"b\" /* \"c\"\n \"d\" */ \"e\"", "b;e;"},
        {"// x \\\n \"f\"\n\"g\"", "g;"},
        {"/* * / \"x\" **/\"y\"//\"z\"", "y;"},
        {"x = (c == '\"') ? \"yes\" : \"no\";", "yes;no;"},
        {"'\\'' \"a\" L'\"' \"b\" '\\\\' \"c\"", "a;b;c;"},
        {"n = 1'000'000 + 0x1'F; s = \"s\";", "s;"},
        {"a / b \"q\"", "q;"},
    };
    ExpectTexts(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(CppLiteralScannerTest, HeaderNamesAreNoLiteralsButOtherDirectivesHaveThem)
{
    const Case cases[] = {
        {"#include \"x.h\"\n  #  include_next \"y.h\"\n#import \"z\"\n#include<a.h>\n", ""},
        {"#define A \"d\"\n#pragma message(\"p\")\n#error \"e\"\n#line 3 \"f.c\"\n", "d;p;e;f.c;"},
        {"#error don't use \"x\"\n\"next\"", "next;"},
        {"x; #include \"not a directive\"", "not a directive;"},
    };
    ExpectTexts(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(CppLiteralScannerTest, PrefixesRawStringsAndSuffixes)
{
    EXPECT_EQ(ScanCpp("L\"a\" u8\"b\" xR\"c\" \"d\"_s\n", SourceKind::Cpp, 0, false, 0),
              "1:1:0:4:L:a;1:6:5:5:u8:b;1:14:13:3::c;1:18:17:3::d;");
    const Case cases[] = {
        {"u\"c\" U\"d\" R\"(say \"hi\")\" LR\"x(a)x\" uR\"()\" UR\"--(z)-)--\" u8R\"((\"))\"",
         "c;d;say \"hi\";a;;z)-;(\");"},
        {"R\"(a\nb\\\nc)\" \"after\"", "a\\nb\\\\nc;after;"},
        {"\"a\" \"b\"", "a;b;"},
        {"R\"bad delimiter(x)\" \"ok\"\n\"next\"", "next;"},
    };
    ExpectTexts(cases, sizeof cases / sizeof cases[0]);
    // C has neither raw strings nor digit separators.
    const Case c[] = {
        {"R\"(x)\" u8\"y\"", "(x);y;"},
        {"n = 1'0\"lost\";\n\"kept\"", "kept;"},
    };
    ExpectTexts(c, sizeof c / sizeof c[0], SourceKind::C);
}

TEST_F(CppLiteralScannerTest, TextsKeepEscapesAndLoseLineContinuations)
{
    const Case cases[] = {
        {"\"a\\\"b\\n\\\\\"", "a\\\"b\\n\\\\;"},
        {"\"ab\\\ncd\" \"x\\\\\n", "abcd;"},
        {"\"\\\\\n\" \"y\"", "\\\" ;"},
        {"\"e\\\\\\\n\\\"\" \"z\"", "e\\\\\\\";z;"},
    };
    ExpectTexts(cases, sizeof cases / sizeof cases[0]);
    EXPECT_EQ(ScanCpp("\n  \"ab\\\ncd\"", SourceKind::Cpp, 0, false, 0), "2:3:3:8::abcd;");
}

TEST_F(CppLiteralScannerTest, ResourceScriptsKeepDoubledQuotes)
{
    const Case cases[] = {
        {"CAPTION \"say \"\"hi\"\"\"\nLTEXT \"\"\"\", 1", "say \"\"hi\"\";\"\";"},
        {"#include \"resource.h\"\nSTRINGTABLE { 1, \"a\" }", "a;"},
    };
    ExpectTexts(cases, sizeof cases / sizeof cases[0], SourceKind::ResourceScript);
}

TEST_F(CppLiteralScannerTest, BrokenInputYieldsWhatIsWhole)
{
    const Case cases[] = {
        {"\"open\n\"ok\"", "ok;"},
        {"'\n\"ok\"", "ok;"},
        {"\"a\" /* never closed \"x\"", "a;"},
        {"\"a\" R\"(never closed\n\"x\"", "a;"},
        {"\"unterminated at the end", ""},
        {"\"\\", ""},
        {"R\"", ""},
    };
    ExpectTexts(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(CppLiteralScannerTest, NulsStayInTheirTexts)
{
    // Where a NUL may stand in a text: plainly, as a trail, escaped, after an escape pending at a
    // block's end, and in a raw string; every block size puts some at a block's edge.
    const std::string cases[][2] = {
        {std::string("\"a\0b\"", 5), std::string("a\0b;", 4)},
        {std::string("\"\x95\0\" \"c\"", 9), std::string("\x95\0;c;", 5)},
        {std::string("\"\\\0\" \"\\\\\0\"", 11), std::string("\\\0;\\\\\0;", 7)},
        {std::string("R\"(\0)\" \"\0\0\"", 11), std::string("\0;\0\0;", 5)},
    };
    for (const auto& item : cases) {
        EXPECT_EQ(Texts(item[0]), item[1]);
    }
}

TEST_F(CppLiteralScannerTest, ShiftJisTrailBytesAreNeverBackslashes)
{
    // 表 ソ 能 end in 0x5C.
    const Case cases[] = {
        {"s = \"\x95\x5C\"; t = \"\x83\x5C\"; u = \"\x94\x5C\";", "\x95\x5C;\x83\x5C;\x94\x5C;"},
        {"// \x95\x5C\n\"next\"\n// \x83\x5C\n\"2\"", "next;2;"},
        {"/* \x94\x5C */ \"x\" /* \x95\x5C*/\"y\"", "x;y;"},
        {"'\x83\x5C' \"c\"", "c;"},
        // a run of characters, lead bytes as trails among them, and a lead byte before a line feed
        {"s = \"\x83\x5C\x83\x74\x95\x5C\x81\x81" "ab\"; t = \"\x83\x5C\x83\n\"z\"",
         "\x83\x5C\x83\x74\x95\x5C\x81\x81" "ab;z;"},
    };
    ExpectTexts(cases, sizeof cases / sizeof cases[0]);
}

TEST_F(CppLiteralScannerTest, Utf8AndTheConditions)
{
    // In UTF-8, 0x5C is always a backslash; 表 is E8 A1 A8.
    EXPECT_EQ(Texts("\"\xE8\xA1\xA8\" // \xE8\xA1\xA8\\\n\"gone\"\n\"ab\"", SourceKind::Cpp, true),
              "\xE8\xA1\xA8;ab;");
    EXPECT_EQ(Texts("\"\xE8\xA1\xA8\" \"ab\"", SourceKind::Cpp, true, STRFLG_HAS_DOUBLE_BYTE),
              "\xE8\xA1\xA8;");
    EXPECT_EQ(Texts("\"\x95\x5C\" \"ab\"", SourceKind::Cpp, false, STRFLG_SINGLE_BYTE_ONLY), "ab;");
}

TEST_F(CppLiteralScannerTest, KindFollowsTheExtensionInAnyCase)
{
    EXPECT_EQ(SourceKindOf("dir.x/a.C"), SourceKind::C);
    EXPECT_EQ(SourceKindOf("a.Rc2"), SourceKind::ResourceScript);
    EXPECT_EQ(SourceKindOf("a.DLG"), SourceKind::ResourceScript);
    EXPECT_EQ(SourceKindOf("a.rc"), SourceKind::ResourceScript);
    EXPECT_EQ(SourceKindOf("a.h"), SourceKind::Cpp);
    EXPECT_EQ(SourceKindOf("c.dir/makefile"), SourceKind::Cpp);
}
