// The translator's round trip through the `tolvek` command: texts exported as PO or XLIFF, and
// translations put back into the sources.
#include "tests/console/CommandRunner.h"

#include "engine/PoFile.h"
#include "engine/TextCodec.h"
#include "engine/XliffFile.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The same texts saved each way a source is: toolbar texts with NULs, a printf format, an escape
// that is half a Shift_JIS character, a text twice, an empty literal, 表 (its trail byte 0x5C).
struct SourceCase {
    const char* what;
    std::string bytes;
    std::vector<std::string> options;
    const char* name = "a.c";
    size_t units = 5;  // "" is not exported, a text twice is one unit
};

const std::string kSjisLines =
    "static const char* s[] = {\"\x83\x74\x83\x40\x83\x43\x83\x8B\", \"\x95\x5C\x8E\xA6\"};\r\n"
    "printf(\"%d \x8C\x8F\\n\", n); puts(\"\x90\x56\x8B\x4B\\0\x8A\x4A\x82\xAD\\0\");\r\n"
    "t = \"\\x82\"; e = \"\"; u = \"\x95\x5C\x8E\xA6\";\r\n";
const std::string kUtf8Lines =
    "static const char* s[] = {\"ファイル\", \"表示\"};\n"
    "printf(\"%d 件\\n\", n); puts(\"新規\\0開く\\0\");\n"
    "t = \"\\xff\"; e = \"\"; u = \"表示\";\n";

// What only the C/C++ syntax reads right: comments and header names are no texts, and the kinds
// of literal each keep their own escapes.
const std::string kNoTexts = "// \"comment\"\n#include \"x.h\"\n";
const std::string kCppKinds =
    "auto a = L\"表示\"; auto r = R\"d(line1\n\"q\")d\"; char c = '\"';\n"
    "auto u = u8\"あ\\n\" \"adj\"; auto q = \"say \\\"hi\\\"\\\\\";\n";
const std::string kResourceScript = "1 \"say \"\"hi\"\" \x82\xA0\"\r\n2 \"\x95\x5C\"\r\n";

// UTF-8 saved as UTF-16 with its mark.
std::string Utf16(const std::string& utf8, SourceEncoding encoding)
{
    std::string bytes;
    EncodeCharacter(0xFEFF, encoding, bytes);
    for (const DecodedUnit& unit : DecodeBytes(utf8, SourceEncoding::Utf8)) {
        EncodeCharacter(static_cast<uint32_t>(unit.character), encoding, bytes);
    }
    return bytes;
}

std::vector<SourceCase> Sources()
{
    // In UTF-16 a numeric escape is a character: a NUL stands for the escape that is half of one.
    std::string utf16Lines = kUtf8Lines;
    utf16Lines.replace(utf16Lines.find("\\xff"), 4, "\\0");
    const std::vector<std::string> kCpp = {"--syntax", "cpp", "--codepage", "932"};
    return {
        {"Shift_JIS", kSjisLines, {"--codepage", "932"}},
        {"UTF-8", kUtf8Lines, {}},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + kUtf8Lines, {"--codepage", "932"}},
        {"Shift_JIS, C/C++", kNoTexts + kSjisLines, kCpp},
        {"UTF-8 with its mark, C/C++", "\xEF\xBB\xBF" + kNoTexts + kUtf8Lines, kCpp},
        {"kinds of literal, C/C++", kNoTexts + kCppKinds, kCpp, "k.cpp"},
        {"resource script", kResourceScript, {"--syntax", "cpp", "--ext", "rc", "--codepage", "932"},
         "r.rc", 2},
        {"UTF-16LE", Utf16(utf16Lines, SourceEncoding::Utf16Le), {}},
        {"UTF-16BE resource script, C/C++",
         Utf16("1 \"say \"\"hi\"\" \xE3\x81\x82\"\r\n2 \"\xE8\xA1\xA8\"\r\n", SourceEncoding::Utf16Be),
         {"--syntax", "cpp", "--ext", "rc"}, "r.rc", 2},
    };
}

class ConsoleTranslationTest : public CommandTest {
protected:
    void SetUp() override { MakeFolder(Src()); }

    std::string Out(const std::string& name) const { return m_runner.Work() / name; }

    CommandResult Run(std::vector<std::string> options, std::vector<std::string> arguments)
    {
        options.insert(options.end(), arguments.begin(), arguments.end());
        return m_runner.Run(options);
    }

    // The records of the folder, as JSON lines.
    std::string Records(const SourceCase& source)
    {
        return Run(source.options, {"--format", "jsonl", "--output", "-", Src()}).out;
    }

    // Exports `format` to a file and reads its units back.
    std::vector<TranslationUnit> Export(const SourceCase& source, const char* format,
                                        std::string& file)
    {
        file = Out(std::string("texts.") + format);
        CommandResult result = Run(source.options, {"--format", format, "--output", file, Src()});
        EXPECT_EQ(result.status, 0) << source.what << result.err;
        std::vector<TranslationUnit> units;
        std::string error;
        bool read = std::string(format) == "po" ? ReadPoFile(ReadBytes(file), units, error)
                                                : ReadXliffFile(ReadBytes(file), units, error);
        EXPECT_TRUE(read) << error;
        return units;
    }
};

// Every text wrapped in 【 】.
std::string Wrapped(const std::string& text)
{
    return "\xE3\x80\x90" + text + "\xE3\x80\x91";
}

// The "text" fields of JSON lines, in order.
std::vector<std::string> Texts(const std::string& records)
{
    std::vector<std::string> texts;
    for (size_t at = records.find("\"text\": \""); at != std::string::npos;
         at = records.find("\"text\": \"", at)) {
        at += 9;
        size_t end = at;
        while (end < records.size() && records[end] != '"') {
            end += records[end] == '\\' ? 2 : 1;
        }
        texts.push_back(records.substr(at, end - at));
    }
    return texts;
}

}  // namespace

TEST_F(ConsoleTranslationTest, IdentityChangesNoByteAndWrappedTextsComeBackEverywhere)
{
    for (const SourceCase& source : Sources()) {
        for (const char* format : {"po", "xliff"}) {
            RemoveFile(Src("a.c"));
            WriteBytes(Src(source.name), source.bytes);
            std::string before = Records(source);
            std::string file;
            std::vector<TranslationUnit> units = Export(source, format, file);
            ASSERT_EQ(units.size(), source.units) << source.what;
            if (source.bytes.find("\\0") != std::string::npos) {
                EXPECT_EQ(units[1].places.size(), 2u);  // 表示
                EXPECT_TRUE(units[3].written);          // the NULs
            }

            auto write = [&]() {
                WriteBytes(file, std::string(format) == "po" ? WritePoFile(units, "test")
                                                             : WriteXliffFile(units, "src", "test"));
            };
            for (TranslationUnit& unit : units) {
                unit.translation = unit.source;
            }
            write();
            CommandResult identity = m_runner.Run({"--apply", file, Src()});
            EXPECT_EQ(identity.status, 0) << identity.err;
            EXPECT_EQ(ReadBytes(Src(source.name)), source.bytes) << source.what;

            for (TranslationUnit& unit : units) {
                unit.translation = Wrapped(unit.source);
            }
            write();
            CommandResult dry = m_runner.Run({"--apply", file, "--dry-run", Src()});
            EXPECT_EQ(dry.status, 0) << dry.err;
            EXPECT_NE(dry.out.find(std::string("+++ b/") + source.name), std::string::npos) << dry.out;
            EXPECT_EQ(ReadBytes(Src(source.name)), source.bytes);

            CommandResult applied = m_runner.Run({"--apply", file, Src()});
            EXPECT_EQ(applied.status, 0) << applied.err;
            std::vector<std::string> old = Texts(before);
            std::vector<std::string> now = Texts(Records(source));
            ASSERT_EQ(now.size(), old.size()) << source.what;
            for (size_t index = 0; index < old.size(); ++index) {
                EXPECT_EQ(now[index], old[index].empty() ? "" : Wrapped(old[index]))
                    << source.what << " " << format;
            }
            if (source.bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
                EXPECT_EQ(ReadBytes(Src(source.name)).compare(0, 3, "\xEF\xBB\xBF"), 0);
            }
            RemoveFile(Src(source.name));
        }
    }
}

TEST_F(ConsoleTranslationTest, RefusalsAndConflictsLeaveTheirFileUntouched)
{
    std::vector<SourceCase> sources = Sources();
    const SourceCase& source = sources[0];
    const std::string kHeader = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    struct Case {
        const char* what;
        const char* translation;  // for the first text (ファイル); null: the file below
        std::string poFile;
        bool changeSource;
        const char* told;
    } cases[] = {
        {"a changed source", "File", "", true, "conflict: the source changed since the export"},
        {"not in Shift_JIS", "\xC3\xA9", "", false, "U+00E9 cannot be written in cp932"},
        {"no header", nullptr, "msgid \"a\"\nmsgstr \"b\"\n", false, "header"},
        {"bad encoding", nullptr, kHeader + "msgid \"\x82\xA0\"\nmsgstr \"\"\n", false,
         "not in UTF-8"},
    };
    for (const Case& test : cases) {
        WriteBytes(Src("a.c"), source.bytes);
        WriteBytes(Src("b.c"), source.bytes);
        std::string file;
        std::vector<TranslationUnit> units = Export(source, "po", file);
        ASSERT_FALSE(units.empty());
        if (test.translation != nullptr) {
            units[0].translation = test.translation;
            WriteBytes(file, WritePoFile(units, "test"));
        } else {
            WriteBytes(file, test.poFile);
        }
        std::string changed = "\r\n" + source.bytes;
        if (test.changeSource) {
            WriteBytes(Src("a.c"), changed);
        }
        CommandResult result = m_runner.Run({"--apply", file, Src()});
        EXPECT_EQ(result.status, 1) << test.what;
        EXPECT_NE(result.err.find(test.told), std::string::npos) << test.what << result.err;
        EXPECT_EQ(ReadBytes(Src("a.c")), test.changeSource ? changed : source.bytes) << test.what;
        // Each file is whole or untouched: b.c, which did not change, takes its translation.
        bool bApplies = test.changeSource;
        EXPECT_EQ(ReadBytes(Src("b.c")) != source.bytes, bApplies) << test.what;
    }
}

TEST_F(ConsoleTranslationTest, CsvTranslationsAreTextsAsWritten)
{
    WriteBytes(Src("a.c"), "f(\"one\\n\", \"two\");\n");
    struct Case {
        const char* translation;
        int status;
        const char* result;  // the file afterwards; null: untouched
        const char* told;
    } cases[] = {
        {"\"", 1, nullptr, "a bare quote ends the literal"},
        {"a\nb", 1, nullptr, "a line break cannot stand in a literal"},
        {"\\\"1\\\"\\n", 0, "f(\"\\\"1\\\"\\n\", \"two\");\n", ""},
    };
    for (const Case& test : cases) {
        std::string quoted;
        for (const char* at = test.translation; *at != '\0'; ++at) {
            quoted += *at == '"' ? std::string("\"\"") : std::string(1, *at);
        }
        // Read by the C/C++ syntax (a prefix column), where an escaped quote stays in its literal.
        std::string csv = "file,line,text,column,offset,length,prefix,translation\r\n"
                          "\"a.c\",1,\"one\\n\",3,2,7,\"\",\"" + quoted + "\"\r\n";
        WriteBytes(Out("t.csv"), csv);
        CommandResult result = m_runner.Run({"--apply", Out("t.csv"), Src()});
        EXPECT_EQ(result.status, test.status) << test.translation << result.err;
        EXPECT_NE(result.err.find(test.told), std::string::npos) << result.err;
        EXPECT_EQ(ReadBytes(Src("a.c")), test.result != nullptr ? test.result : "f(\"one\\n\", \"two\");\n");
        WriteBytes(Src("a.c"), "f(\"one\\n\", \"two\");\n");
    }
    // Only --dry-run goes with --apply; a name that leads out of the path is never written.
    EXPECT_EQ(m_runner.Run({"--apply", Out("t.csv"), "-r", Src()}).status, 2);
    WriteBytes(Out("t.csv"), "file,text,offset,length,translation\r\n\"../a.c\",\"one\\n\",2,7,\"x\"\r\n");
    WriteBytes(Out("a.c"), "f(\"one\\n\");\n");
    EXPECT_EQ(m_runner.Run({"--apply", Out("t.csv"), Src()}).status, 1);
    EXPECT_EQ(ReadBytes(Out("a.c")), "f(\"one\\n\");\n");
}

TEST_F(ConsoleTranslationTest, ASignalLeavesEachFileOldOrNew)
{
    const int kFiles = 300;
    for (int index = 0; index < kFiles; ++index) {
        WriteBytes(Src("f" + std::to_string(index) + ".c"), "s = \"text " + std::to_string(index) + "\";\n");
    }
    SourceCase source{"many", "", {"--codepage", "932"}};
    std::string file;
    std::vector<TranslationUnit> units = Export(source, "po", file);
    ASSERT_EQ(units.size(), static_cast<size_t>(kFiles));
    for (TranslationUnit& unit : units) {
        unit.translation = Wrapped(unit.source);
    }
    WriteBytes(file, WritePoFile(units, "test"));
    pid_t child = m_runner.Start({"--apply", file, Src()});
    // Stopped once the first file is new, so that the signal comes in the middle of the run.
    auto anyNew = [&]() {
        for (int index = 0; index < kFiles; ++index) {
            if (ReadBytes(Src("f" + std::to_string(index) + ".c")).find("\x81\x79") !=
                std::string::npos) {
                return true;
            }
        }
        return false;
    };
    for (int wait = 0; wait < 5000 && !anyNew(); ++wait) {
        usleep(1000);
    }
    kill(child, SIGTERM);
    CommandResult result = m_runner.Wait(child);
    EXPECT_TRUE(result.status == 143 || result.status == 0) << result.status << result.err;
    int changed = 0;
    for (int index = 0; index < kFiles; ++index) {
        std::string text = "text " + std::to_string(index);
        std::string bytes = ReadBytes(Src("f" + std::to_string(index) + ".c"));
        bool wrapped = bytes == "s = \"\x81\x79" + text + "\x81\x7A\";\n";  // in Shift_JIS
        EXPECT_TRUE(bytes == "s = \"" + text + "\";\n" || wrapped) << bytes;
        changed += wrapped ? 1 : 0;
    }
    int entries = 0;
    DIR* folder = opendir(Src().c_str());
    for (dirent* entry = readdir(folder); entry != nullptr; entry = readdir(folder)) {
        entries += entry->d_name[0] != '.';
        EXPECT_EQ(std::string(entry->d_name).find(".tolvek-"), std::string::npos);
    }
    closedir(folder);
    EXPECT_EQ(entries, kFiles);
    EXPECT_GT(changed, 0);
    EXPECT_TRUE(changed == kFiles || result.status == 143);
}
