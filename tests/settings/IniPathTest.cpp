// Windows: the INI file lies beside the executable, whatever the executable is called.
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string WindowsPath(std::string path)
{
    for (char& byte : path) {
        if (byte == '/') {
            byte = '\\';
        }
    }
    return path[0] == '\\' ? "Z:" + path : path;
}

// Runs `program` with one argument and waits for it.
bool RunAndWait(const std::string& program, const std::string& argument)
{
    std::string commandLine = "\"" + program + "\" \"" + argument + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

TEST(IniPathTest, AnExecutableNameWithA5CTrailByteKeepsTheIniBesideIt)
{
    TempFolder folder;
    // ソ is 0x83 0x5C: a byte search would take its trail byte for the last separator.
    std::string copy = folder / "\x83\x5C\x83\x74\x83\x67.exe";
    ASSERT_TRUE(CopyFileA(WindowsPath(TOLVEK_INI_PROBE).c_str(), copy.c_str(), FALSE));
    std::string output = folder / "ini-path.txt";
    ASSERT_TRUE(RunAndWait(copy, output));
    EXPECT_EQ(ReadBytes(output), "1 " + (folder / "Tolvek.ini"));
}
