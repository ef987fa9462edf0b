#include "console/ConsoleOptions.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool Parse(std::vector<std::string> arguments, ConsoleOptions& options, std::string& error)
{
    arguments.insert(arguments.begin(), "tolvek");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    return ParseConsoleOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

}  // namespace

TEST(ConsoleOptionsTest, ReadsEveryOptionInBothForms)
{
    ConsoleOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--condition", "2", "--delimiter='", "--ext", "c,.hpp,,h", "--codepage=932",
                       "--open", "src"},
                      options, error));
    EXPECT_EQ(options.condition, 2);
    EXPECT_EQ(options.delimiter, "'");
    EXPECT_EQ(options.targetList, "|c|hpp|h|");
    EXPECT_EQ(options.codePage, kCodePageShiftJis);
    EXPECT_TRUE(options.open);
    EXPECT_EQ(options.path, "src");

    AnalysisOptions run;
    run.delimiter = "\"";
    run.targetList = "|c|";
    ApplyConsoleOptions(options, run);
    EXPECT_EQ(run.condition, 2);
    EXPECT_EQ(run.delimiter, "'");
    EXPECT_EQ(run.targetList, "|c|hpp|h|");

    ConsoleOptions none;
    AnalysisOptions untouched;
    untouched.targetList = "|c|";
    ApplyConsoleOptions(none, untouched);
    EXPECT_EQ(untouched.targetList, "|c|");

    ConsoleOptions cpp;
    ASSERT_TRUE(Parse({"--syntax=cpp", "src"}, cpp, error));
    AnalysisOptions withSyntax;
    ApplyConsoleOptions(cpp, withSyntax);
    EXPECT_EQ(withSyntax.syntax, 1);
    ConsoleOptions pairs;
    ASSERT_TRUE(Parse({"--syntax", "pairs", "src"}, pairs, error));
    ApplyConsoleOptions(pairs, withSyntax);
    EXPECT_EQ(withSyntax.syntax, 0);
}

TEST(ConsoleOptionsTest, WhereTheRecordsGoAndHowTheyAreShown)
{
    ConsoleOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--format", "csv", "--output=-", "--fail-if-found", "--quiet", "--threads", "3",
                       "-r", "src"},
                      options, error));
    AnalysisOptions run;
    ApplyConsoleOptions(options, run);
    EXPECT_EQ(run.format, RecordFormatKind::Csv);
    EXPECT_TRUE(run.toStandardOutput);
    EXPECT_EQ(run.threads, 3);
    EXPECT_TRUE(run.subFolders);
    EXPECT_TRUE(options.failIfFound);
    EXPECT_TRUE(options.quiet);

    ConsoleOptions file;
    ASSERT_TRUE(Parse({"--format=jsonl", "--output", "out.jsonl", "--verbose", "src"}, file, error));
    AnalysisOptions toFile;
    ApplyConsoleOptions(file, toFile);
    EXPECT_EQ(toFile.format, RecordFormatKind::JsonLines);
    EXPECT_FALSE(toFile.toStandardOutput);
    EXPECT_EQ(file.output, "out.jsonl");
}

TEST(ConsoleOptionsTest, DashDashEndsTheOptions)
{
    ConsoleOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--follow", "--", "--odd-name"}, options, error));
    EXPECT_TRUE(options.followLinks);
    EXPECT_EQ(options.path, "--odd-name");
}

TEST(ConsoleOptionsTest, RefusesUsageMistakes)
{
    const std::vector<std::vector<std::string>> mistakes = {
        {},
        {"a", "b"},
        {"--condition", "3", "a"},
        {"--condition", "a"},
        {"--delimiter", "ab", "a"},
        {"--delimiter=\x82", "a"},
        {"--ext", "c|h", "a"},
        {"--ext=", "a"},
        {"--ext", ",", "a"},
        {"--ext", ".,.", "a"},
        {"--delimiter", "\n", "a"},
        {"--delimiter=", "a"},
        {"--format", "xml", "a"},
        {"--output=", "a"},
        {"--threads", "0", "a"},
        {"--threads", "two", "a"},
        {"--verbose", "--quiet", "a"},
        {"--open", "--output", "-", "a"},
        {"--codepage", "utf8", "a"},
        {"--frobnicate", "a"},
        {"--syntax", "c", "a"},
        {"--syntax=cpp", "--delimiter", "'", "a"},
        {"a", "--delimiter"},
    };
    for (const auto& arguments : mistakes) {
        ConsoleOptions options;
        std::string error;
        EXPECT_FALSE(Parse(arguments, options, error)) << arguments.size();
        EXPECT_FALSE(error.empty());
    }
    ConsoleOptions options;
    std::string error;
    EXPECT_TRUE(Parse({"--help"}, options, error));
    EXPECT_TRUE(options.help);
}
