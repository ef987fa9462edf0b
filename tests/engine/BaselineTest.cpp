#include "engine/Baseline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(BaselineTest, ReadsRecordsAsJsonWritesThemAndRefusesWhatIsNone)
{
    struct Case {
        const char* what;
        std::string jsonl;
        bool loads;
        std::string file;  // a record that is then known once
        std::string text;
    };
    const std::vector<Case> cases = {
        {"a record as written", "{\"file\": \"a.c\", \"line\": 1, \"text\": \"x\", \"encoding\": \"cp932\"}\n",
         true, "a.c", "x"},
        {"a byte order mark, CR LF, blank lines, members in any order",
         "\xEF\xBB\xBF\r\n{\"text\":\"x\",\"file\":\"a.c\",\"line\":1}\r\n\n", true, "a.c", "x"},
        {"escapes", "{\"file\": \"d\\/a.c\", \"text\": \"\\\"\\\\\\t\\u3042\\ud83d\\ude00\"}", true, "d/a.c",
         "\"\\\t\xE3\x81\x82\xF0\x9F\x98\x80"},
        {"Windows names hold on Linux", "{\"file\": \"sub\\\\a.c\", \"text\": \"x\"}", true, "sub/a.c", "x"},
        {"no text", "{\"file\": \"a.c\", \"line\": 1}", false, "", ""},
        {"a log record", "a.c(1): \"x\"", false, "", ""},
        {"a cut record", "{\"file\": \"a.c\", \"text\": \"x", false, "", ""},
        {"a nested value", "{\"file\": \"a.c\", \"text\": \"x\", \"more\": [1]}", false, "", ""},
    };
    for (const Case& test : cases) {
        Baseline baseline;
        std::string error;
        EXPECT_EQ(baseline.Load(test.jsonl, error), test.loads) << test.what;
        if (test.loads) {
            EXPECT_TRUE(baseline.Take(test.file, test.text)) << test.what;
            EXPECT_FALSE(baseline.Take(test.file, test.text)) << test.what << ": only once";
        } else {
            EXPECT_NE(error.find("line "), std::string::npos) << test.what;
        }
    }
}
