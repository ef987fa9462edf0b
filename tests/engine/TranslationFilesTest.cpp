// Translation files: units exported once per distinct text, read back with their places, and the
// changes of one file planned from them.
#include "engine/CsvTranslations.h"
#include "engine/PoFile.h"
#include "engine/TranslationApply.h"
#include "engine/UnitCollector.h"
#include "engine/XliffFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A Shift_JIS source and the places of its tokens, as the records give them.
const std::string kSource =
    "printf(\"%d \x8C\x8F\\n\");\r\n"          // "%d 件\n"
    "s = \"\x90\x56\x8B\x4B\\0\x8A\x4A\x82\xAD\\0\";\r\n"  // toolbar texts with NULs
    "t = L\"\x8C\x8F\"; u = \"\";\r\n"
    "v = \"%d \x8C\x8F\\n\";\r\n";

TranslationPlace Place(const std::string& source, const std::string& token, int64_t line,
                       const char* prefix = "")
{
    TranslationPlace place;
    place.file = "sub/a b.c";
    place.line = line;
    place.column = 1;
    place.offset = static_cast<int64_t>(source.find(token));
    place.length = static_cast<int64_t>(token.size());
    place.hasPrefix = true;
    place.prefix = prefix;
    place.encoding = "cp932";
    return place;
}

std::vector<TranslationUnit> Collect(const std::string& source)
{
    UnitCollector collector;
    const char* tokens[][2] = {{"\"%d \x8C\x8F\\n\"", ""},
                               {"\"\x90\x56\x8B\x4B\\0\x8A\x4A\x82\xAD\\0\"", ""},
                               {"L\"\x8C\x8F\"", "L"},
                               {"\"\"", ""}};
    int64_t line = 1;
    for (const auto& token : tokens) {
        TranslationPlace place = Place(source, token[0], line++, token[1]);
        collector.Add(place, source.substr(static_cast<size_t>(place.offset),
                                           static_cast<size_t>(place.length)));
    }
    TranslationPlace again = Place(source, "\"%d \x8C\x8F\\n\"", 4);
    again.offset = static_cast<int64_t>(source.rfind("\"%d"));
    collector.Add(again, source.substr(static_cast<size_t>(again.offset),
                                       static_cast<size_t>(again.length)));
    return collector.Units();
}

}  // namespace

TEST(TranslationFilesTest, OneUnitPerTextWithEveryPlace)
{
    std::vector<TranslationUnit> units = Collect(kSource);
    ASSERT_EQ(units.size(), 3u);  // the empty literal is not exported
    EXPECT_EQ(units[0].source, "%d \xE4\xBB\xB6\n");
    EXPECT_TRUE(units[0].cFormat);
    EXPECT_EQ(units[0].places.size(), 2u);
    EXPECT_TRUE(units[1].written);
    EXPECT_EQ(units[1].source, "\xE6\x96\xB0\xE8\xA6\x8F\\0\xE9\x96\x8B\xE3\x81\x8F\\0");
    EXPECT_EQ(units[2].source, "\xE4\xBB\xB6");
    EXPECT_NE(UnitId(units[0]), UnitId(units[2]));

    std::string po = WritePoFile(units, "tolvek test");
    EXPECT_NE(po.find("#: \xE2\x81\xA8sub/a b.c\xE2\x81\xA9:1\n#: \xE2\x81\xA8sub/a b.c\xE2\x81\xA9:4\n#, c-format\nmsgid \"%d \xE4\xBB\xB6\\n\""),
              std::string::npos)
        << po;
    EXPECT_NE(po.find("msgctxt \"tolvek: as written\""), std::string::npos);
    std::string xliff = WriteXliffFile(units, "src", "tolvek test");
    for (const std::string& file : {po, xliff}) {
        std::vector<TranslationUnit> back;
        std::string error;
        bool read = file == po ? ReadPoFile(file, back, error) : ReadXliffFile(file, back, error);
        ASSERT_TRUE(read) << error;
        ASSERT_EQ(back.size(), units.size());
        for (size_t index = 0; index < units.size(); ++index) {
            EXPECT_EQ(back[index].source, units[index].source);
            EXPECT_EQ(back[index].written, units[index].written);
            ASSERT_EQ(back[index].places.size(), units[index].places.size());
            EXPECT_EQ(back[index].places[0].file, "sub/a b.c");
            EXPECT_EQ(DescribePlace(back[index].places[0]), DescribePlace(units[index].places[0]));
        }
    }
}

TEST(TranslationFilesTest, BrokenFilesAreToldNotRead)
{
    const std::string kHeader = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    struct Case {
        const char* what;
        std::string po;
    } cases[] = {
        {"no header", "msgid \"a\"\nmsgstr \"b\"\n"},
        {"charset", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=EUC-JP\\n\"\n"},
        {"not UTF-8", kHeader + "msgid \"\x82\xA0\"\nmsgstr \"\"\n"},
        {"string not ended", kHeader + "msgid \"a\nmsgstr \"\"\n"},
        {"unknown escape", kHeader + "msgid \"\\q\"\nmsgstr \"\"\n"},
        {"bad place", kHeader + "#. tolvek: line=3\nmsgid \"a\"\nmsgstr \"\"\n"},
    };
    for (const Case& test : cases) {
        std::vector<TranslationUnit> units;
        std::string error;
        EXPECT_FALSE(ReadPoFile(test.po, units, error)) << test.what;
        EXPECT_FALSE(error.empty()) << test.what;
    }
    std::vector<TranslationUnit> units;
    std::string error;
    for (const char* xliff : {"<xliff><file>", "<xliff>&bogus;</xliff>", "<other/>",
                              "<xliff><trans-unit><source>a</source><target>b<g/></target>"
                              "</trans-unit></xliff>"}) {
        EXPECT_FALSE(ReadXliffFile(xliff, units, error)) << xliff;
    }
    EXPECT_FALSE(ReadCsvTranslations("file,line,text\r\n\"a.c\",1,\"x\"\r\n", units, error));
}

TEST(TranslationFilesTest, AFilePlanAppliesAllOrNothing)
{
    std::vector<TranslationUnit> units = Collect(kSource);
    units[0].translation = "\xE3\x80\x90%d \xE4\xBB\xB6\n\xE3\x80\x91";  // 【...】
    units[1].translation = "New\\0Open\\0";
    units[2].translation = units[2].source;  // equal: left as it is
    auto files = TranslatedPlacesByFile(units);
    ASSERT_EQ(files.size(), 1u);
    ASSERT_EQ(files[0].second.size(), 3u);
    FilePlan plan("sub/a b.c", kSource, SourceEncoding::Cp932);
    for (const UnitPlace& place : files[0].second) {
        plan.Add(*place.first, *place.second);
    }
    EXPECT_TRUE(plan.Problems().empty());
    EXPECT_EQ(plan.NewBytes(),
              "printf(\"\x81\x79%d \x8C\x8F\\n\x81\x7A\");\r\n"
              "s = \"New\\0Open\\0\";\r\n"
              "t = L\"\x8C\x8F\"; u = \"\";\r\n"
              "v = \"\x81\x79%d \x8C\x8F\\n\x81\x7A\";\r\n");
    EXPECT_EQ(UnifiedDiff("a.c", kSource, SourceEncoding::Cp932, plan.Edits()),
              "--- a/a.c\n+++ b/a.c\n@@ -1,4 +1,4 @@\n"
              "-printf(\"%d \xE4\xBB\xB6\\n\");\n"
              "-s = \"\xE6\x96\xB0\xE8\xA6\x8F\\0\xE9\x96\x8B\xE3\x81\x8F\\0\";\n"
              "+printf(\"\xE3\x80\x90%d \xE4\xBB\xB6\\n\xE3\x80\x91\");\n"
              "+s = \"New\\0Open\\0\";\n"
              " t = L\"\xE4\xBB\xB6\"; u = \"\";\n"
              "-v = \"%d \xE4\xBB\xB6\\n\";\n"
              "+v = \"\xE3\x80\x90%d \xE4\xBB\xB6\\n\xE3\x80\x91\";\n");

    // A changed source is a conflict, and a character Shift_JIS cannot hold is refused.
    std::string changed = kSource;
    changed.replace(changed.rfind("%d"), 2, "%u");
    units[2].translation = "\xC3\xA9";
    FilePlan refused("sub/a b.c", changed, SourceEncoding::Cp932);
    auto translated = TranslatedPlacesByFile(units);
    for (const UnitPlace& place : translated[0].second) {
        refused.Add(*place.first, *place.second);
    }
    ASSERT_EQ(refused.Problems().size(), 2u);
    EXPECT_TRUE(refused.Problems()[0].conflict);
    EXPECT_EQ(refused.Problems()[0].line, 4);
    EXPECT_FALSE(refused.Problems()[1].conflict);
    EXPECT_EQ(refused.Problems()[1].line, 3);
}

TEST(TranslationFilesTest, CsvRowsArePlacesOfTextsAsWritten)
{
    std::string csv = "\xEF\xBB\xBF" "file,line,text,column,offset,length,prefix,translation\r\n"
                      "\"'-a.c\",1,\"'=x\\n\",5,4,6,\"\",\"y\"\"z\\n\"\r\n";
    std::vector<TranslationUnit> units;
    std::string error;
    ASSERT_TRUE(ReadCsvTranslations(csv, units, error)) << error;
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].source, "=x\\n");
    EXPECT_EQ(units[0].translation, "y\"z\\n");
    EXPECT_EQ(units[0].places[0].file, "-a.c");
    FilePlan plan("a.c", "f = \"=x\\n\";\n", SourceEncoding::Utf8);
    plan.Add(units[0], units[0].places[0]);
    ASSERT_EQ(plan.Problems().size(), 1u);  // a bare quote
    EXPECT_FALSE(plan.Problems()[0].conflict);
    units[0].translation = "y\\\"z";
    FilePlan good("a.c", "f = \"=x\\n\";\n", SourceEncoding::Utf8);
    good.Add(units[0], units[0].places[0]);
    EXPECT_TRUE(good.Problems().empty());
    EXPECT_EQ(good.NewBytes(), "f = \"y\\\"z\";\n");
}
