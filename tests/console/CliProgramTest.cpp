// tolvek-cli.exe, the command as a Windows console program, started as a script starts it: its
// options, formats and exit statuses, a list with backslashes, and a Shift_JIS folder.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

namespace {

const DWORD kExitTimeoutMs = 60000;

std::string CliPath()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = module;
    path.erase(path.find_last_of('\\') + 1);
    for (char byte : std::string(TOLVEK_CLI_FROM_TESTS)) {
        path += byte == '/' ? '\\' : byte;
    }
    return path;
}

struct CliResult {
    DWORD status = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

// An inheritable handle to `path`, for a child's standard stream.
HANDLE Inheritable(const std::string& path, bool write)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class CliProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        MakeFolder(m_work / "src");
        WriteBytes(m_work / "src\\a.c", "s = \"\x82\xA0\"; t = \"plain\";\n");
    }

    // Runs the program in the test's folder with `arguments` and `input` on standard input.
    CliResult Run(const std::string& arguments, const std::string& input = "")
    {
        WriteBytes(m_work / "in.txt", input);
        HANDLE in = Inheritable(m_work / "in.txt", false);
        HANDLE out = Inheritable(m_work / "out.txt", true);
        HANDLE err = Inheritable(m_work / "err.txt", true);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in;
        startup.hStdOutput = out;
        startup.hStdError = err;
        std::string commandLine = "\"" + CliPath() + "\" " + arguments;
        PROCESS_INFORMATION process = {};
        CliResult result;
        if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                           m_work.Path().c_str(), &startup, &process)) {
            WaitForSingleObject(process.hProcess, kExitTimeoutMs);
            GetExitCodeProcess(process.hProcess, &result.status);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(in);
        CloseHandle(out);
        CloseHandle(err);
        result.out = ReadBytes(m_work / "out.txt");
        result.err = ReadBytes(m_work / "err.txt");
        return result;
    }

    TempFolder m_work;
};

}  // namespace

TEST_F(CliProgramTest, OptionsFormatsAndExitStatusesAreTheCommands)
{
    struct Case {
        const char* what;
        std::string arguments;
        std::string input;
        DWORD status;
        std::string out;
    };
    const std::vector<Case> cases = {
        // The program's own lines end as a Windows console program's do.
        {"version", "-V", "", 0, "tolvek " TOLVEK_VERSION "\r\n"},
        {"log to standard output, CR LF", "--codepage 932 --output - src", "", 0,
         "a.c(1): \"\x82\xA0\"\r\na.c(1): \"plain\"\r\n"},
        {"jsonl", "--codepage 932 --condition 2 --format jsonl --output - src", "", 0,
         "{\"file\": \"a.c\", \"line\": 1, \"column\": 5, \"offset\": 4, \"length\": 4, "
         "\"text\": \"\xE3\x81\x82\", \"encoding\": \"cp932\"}\n"},
        {"found", "--codepage 932 --condition 2 --fail-if-found --output - src", "", 3,
         "a.c(1): \"\x82\xA0\"\r\n"},
        {"failed", "--fail-if-found --output - missing", "", 1, ""},
        {"both", "--codepage 932 --condition 2 --fail-if-found --output - src missing", "", 1,
         "src\\a.c(1): \"\x82\xA0\"\r\n"},
        {"a list with backslashes", "--codepage 932 --condition 2 --files-from - -0 --output -",
         std::string(".\\src\\a.c\0src/a.c\0", 19), 0,
         ".\\src\\a.c(1): \"\x82\xA0\"\r\nsrc/a.c(1): \"\x82\xA0\"\r\n"},
        {"a usage mistake", "--bogus src", "", 2, ""},
    };
    for (const Case& test : cases) {
        CliResult result = Run(test.arguments, test.input);
        EXPECT_EQ(result.status, test.status) << test.what << ": " << result.err;
        EXPECT_EQ(result.out, test.out) << test.what;
    }
    CliResult mistake = Run("--bogus src");
    EXPECT_EQ(mistake.err, "tolvek: unknown option --bogus\r\nTry 'tolvek --help'\r\n");
}

TEST_F(CliProgramTest, AShiftJisFolderKeepsItsLogAndTheOutputIsReplaced)
{
    // 表 ends in a 0x5C byte, which is no separator.
    std::string folder = m_work / "\x95\x5C";
    MakeFolder(folder);
    WriteBytes(folder + "\\b.cpp", "u = \"\x83\x5C\";\n");
    CliResult logged = Run("--codepage 932 \"\x95\x5C\"");
    EXPECT_EQ(logged.status, 0u) << logged.err;
    EXPECT_EQ(ReadBytes(folder + "\\Tolvek.log"), "b.cpp(1): \"\x83\x5C\"\r\n");

    WriteBytes(m_work / "texts.log", "old\r\n");
    CliResult replaced = Run("--codepage 932 --sort --output texts.log \"\x95\x5C\" src");
    EXPECT_EQ(replaced.status, 0u) << replaced.err;
    EXPECT_EQ(ReadBytes(m_work / "texts.log"),
              "src\\a.c(1): \"\x82\xA0\"\r\nsrc\\a.c(1): \"plain\"\r\n\x95\x5C\\b.cpp(1): \"\x83\x5C\"\r\n");
}
