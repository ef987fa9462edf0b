// Scanning on several threads gives what one thread gives: the same notices in the same order
// and a log that is the same byte for byte.
#include "engine/Analyze.h"

#include "bench/SourceGenerator.h"
#include "platform/CodePage.h"
#include "platform/Path.h"
#include "tests/support/EventRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::vector<std::string> events;
    std::string log;
    int64_t records = 0;
};

class ParallelScanTest : public testing::Test {
protected:
    ParallelScanTest()
    {
        m_options.targetList = "|c|cpp|h|";
        m_options.subFolders = true;
    }

    // Analyses the folder with `threads`, then puts its log back as it was before.
    Outcome Analyse(int threads, const std::string& logBefore)
    {
        RemoveFile(m_folder / "Tolvek.log");
        if (logBefore != "<missing>") {
            WriteBytes(m_folder / "Tolvek.log", logBefore);
        }
        EventRecorder events;
        AnalysisOptions options = m_options;
        options.threads = threads;
        AnalyzeFolder(m_folder.Path().c_str(), options, events);
        Outcome outcome;
        outcome.events = events.Events();
        outcome.log = ReadBytes(m_folder / "Tolvek.log");
        outcome.records = events.Summary().recordsWritten;
        return outcome;
    }

    // One thread, then several: the same notices and the same log.
    void ExpectTheSameWithEveryThreadCount()
    {
        // A log that is there already (a target when "log" is in the list) is there for each.
        std::string logBefore = ReadBytes(m_folder / "Tolvek.log");
        Outcome one = Analyse(1, logBefore);
        ASSERT_FALSE(one.events.empty());
        for (int threads : {2, 3, 8}) {
            Outcome many = Analyse(threads, logBefore);
            EXPECT_EQ(many.events, one.events) << threads << " threads";
            EXPECT_TRUE(many.log == one.log) << threads << " threads: the logs differ";
            EXPECT_EQ(many.records, one.records) << threads << " threads";
        }
    }

    CodePageScope m_shiftJis{kCodePageShiftJis};
    CurrentFolderScope m_currentFolder;
    TempFolder m_folder;
    AnalysisOptions m_options;
};

// Random sources: texts of every kind of byte the scanner treats apart, in random files of a
// random tree.
class RandomTree {
public:
    explicit RandomTree(uint32_t seed) : m_random(seed) {}

    void Write(const std::string& folder, int depth)
    {
        int files = static_cast<int>(m_random() % 12);
        for (int index = 0; index < files; ++index) {
            static const char* const kNames[] = {".c", ".cpp", ".h", ".txt", ".log", ""};
            std::string name = "f" + std::to_string(m_next++) + kNames[m_random() % 6];
            WriteBytes(folder + kPathSeparator + name, Source());
        }
        if (m_random() % 4 == 0) {
            WriteBytes(folder + kPathSeparator + "Tolvek.log", Source());
        }
        int subfolders = depth > 0 ? static_cast<int>(m_random() % 4) : 0;
        for (int index = 0; index < subfolders; ++index) {
            std::string sub = folder + kPathSeparator + (m_random() % 5 == 0 ? ".hidden" : "d") +
                              std::to_string(m_next++);
            MakeFolder(sub);
            Write(sub, depth - 1);
        }
    }

private:
    std::string Source()
    {
        static const char* const kPieces[] = {
            "\"", "\"", "\"", "'", "\\", "\n", "\r\n", "x", "abc ", "\x82\xA0", "\x95\x5C",
            "\x83", "\xB1", "\xE3\x81\x82", "\xE3\x81", "\xF0\x9F\x98\x80", std::string("\0", 1).c_str(),
            "\x1A", "|", "  ", "s = \"text\";\n",
        };
        std::string text = m_random() % 8 == 0 ? "\xEF\xBB\xBF" : "";
        size_t pieces = m_random() % 3 == 0 ? m_random() % 40000 : m_random() % 400;
        for (size_t index = 0; index < pieces; ++index) {
            size_t pick = m_random() % (sizeof kPieces / sizeof kPieces[0]);
            text += pick == 16 ? std::string(1, '\0') : std::string(kPieces[pick]);
        }
        return text;
    }

    std::mt19937 m_random;
    int m_next = 0;
};

}  // namespace

TEST_F(ParallelScanTest, TheExamples)
{
    std::filesystem::copy(TOLVEK_EXAMPLES_DIR, m_folder.Path(),
                          std::filesystem::copy_options::recursive);
    RemoveFile(m_folder / "Tolvek.log");
    ExpectTheSameWithEveryThreadCount();
}

TEST_F(ParallelScanTest, TheBenchmarksFolderAndFilesWhoseRecordsOutgrowTheBuffers)
{
    GenerateSourceFolder(m_folder.Path(), 300);
    // Records far beyond what a worker gathers before its turn, in files next to each other.
    for (int file = 0; file < 3; ++file) {
        std::string lines;
        for (int line = 0; line < 40000; ++line) {
            lines += "s = \"record " + std::to_string(file) + "-" + std::to_string(line) + "\";\n";
        }
        WriteBytes(m_folder / ("many" + std::to_string(file) + ".c"), lines);
    }
    ExpectTheSameWithEveryThreadCount();
}

TEST_F(ParallelScanTest, RandomTreesUnderEveryCondition)
{
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        RemoveFile(m_folder.Path());
        MakeFolder(m_folder.Path());
        RandomTree(seed).Write(m_folder.Path(), 3);
        m_options.targetList = seed % 2 == 0 ? "|c|cpp|h|log||" : "|c|h|txt|";
        m_options.condition = static_cast<int32_t>(seed % 3);
        SCOPED_TRACE("seed " + std::to_string(seed));
        ExpectTheSameWithEveryThreadCount();
    }
}

TEST_F(ParallelScanTest, TheLogAsASourceIsReadWithTheRecordsOfTheFilesBeforeIt)
{
    // Many files around the log, made before and after it, so that some come before it in the
    // listing whatever order the file system lists in: their records are in the log when its own
    // scan begins, on any number of threads.
    for (int file = 0; file < 60; ++file) {
        if (file == 30) {
            WriteBytes(m_folder / "Tolvek.log", "\"old\"\n");
        }
        WriteBytes(m_folder / ("f" + std::to_string(file) + ".c"),
                   "s = \"" + std::to_string(file) + "\";\n");
    }
    m_options.targetList = "|c|log|";
    ExpectTheSameWithEveryThreadCount();
}

TEST_F(ParallelScanTest, FilesWhoseRecordsOutgrowTheBuffersOneAfterAnother)
{
    // Every worker may wait for its file's turn at once, behind a file that is done: the turns
    // must still come.
    for (int file = 0; file < 24; ++file) {
        std::string lines;
        int count = file % 3 == 0 ? 1 : 20000;
        for (int line = 0; line < count; ++line) {
            lines += "s = \"" + std::to_string(file) + "-" + std::to_string(line) + "\";\n";
        }
        WriteBytes(m_folder / ("f" + std::to_string(file) + ".c"), lines);
    }
    ExpectTheSameWithEveryThreadCount();
}

TEST_F(ParallelScanTest, FilesOfLongTextsThatMustWaitToBeHeld)
{
    // Texts beyond what a scan holds freely, some with many records after them: scans wait for
    // the right to hold one, also while files before them wait for their turn.
    for (int file = 0; file < 6; ++file) {
        std::string text = "t = \"" + std::string(3 * 1024 * 1024 + file, 'a' + file) + "\";\n";
        for (int line = 0; file % 2 == 1 && line < 20000; ++line) {
            text += "s = \"" + std::to_string(line) + "\";\n";
        }
        WriteBytes(m_folder / ("f" + std::to_string(file) + ".c"), text);
    }
    ExpectTheSameWithEveryThreadCount();
}
