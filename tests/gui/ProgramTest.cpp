// The program as a whole: tolvek.exe started as a user starts it, each test with a copy of its
// own (a name of its own gives it its own single-instance mutex and Tolvek.ini beside it).
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

const DWORD kExitTimeoutMs = 30000;

std::string ProgramPath()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = module;
    path.erase(path.find_last_of('\\') + 1);
    for (char byte : std::string(TOLVEK_EXE_FROM_TESTS)) {
        path += byte == '/' ? '\\' : byte;
    }
    return path;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A started copy of the program; ended by force if a test leaves it running.
class Program {
public:
    Program(const std::string& exe, const std::string& arguments)
    {
        std::string commandLine = "\"" + exe + "\"";
        if (!arguments.empty()) {
            commandLine += " " + arguments;
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        // Wine has been seen to refuse a start once on a loaded machine; a second try, told.
        for (int attempt = 0; attempt < 3 && !m_started; ++attempt) {
            if (attempt > 0) {
                std::fprintf(stderr, "starting %s failed with error %lu; trying again\n",
                             exe.c_str(), static_cast<unsigned long>(m_startError));
                Sleep(500);
            }
            m_started = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                       nullptr, nullptr, &startup, &m_info) != FALSE;
            m_startError = m_started ? 0 : GetLastError();
        }
    }
    ~Program()
    {
        if (m_started) {
            if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(m_info.hProcess, 1);
                WaitForSingleObject(m_info.hProcess, kExitTimeoutMs);
            }
            CloseHandle(m_info.hThread);
            CloseHandle(m_info.hProcess);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_started; }
    DWORD StartError() const { return m_startError; }

    // True when the process ended by itself in time.
    bool Ends(DWORD timeoutMs = kExitTimeoutMs) const
    {
        return m_started && WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }
    // The program's main window, once it is shown; null if the program ends first or takes too
    // long, which Why() then tells.
    HWND WaitForWindow() const
    {
        for (DWORD waited = 0; m_started && waited < kExitTimeoutMs; waited += 50) {
            WindowSearch search = {m_info.dwProcessId, nullptr};
            EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr) {
                return search.found;
            }
            if (Ends(50)) {
                return nullptr;
            }
        }
        return nullptr;
    }
    std::string Why() const
    {
        if (!Ends(0)) {
            return "no window after " + std::to_string(kExitTimeoutMs) + " ms";
        }
        char code[32];
        std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(ExitCode()));
        return std::string("the program ended without a window, with exit code ") + code;
    }

private:
    PROCESS_INFORMATION m_info = {};
    bool m_started = false;
    DWORD m_startError = 0;
};

class ProgramTest : public testing::Test {
protected:
    ProgramTest()
    {
        m_copied = CopyFileA(ProgramPath().c_str(), m_exe.c_str(), FALSE) != FALSE;
        m_copyError = m_copied ? 0 : GetLastError();
        WriteBytes(m_sources / "a.c", "char* s = \"x\";\n");
        WriteBytes(m_sources / "b.txt", "\"y\"\n");
        // The log is opened in the shell: no editor may start during the run.
        SetEnvVar("WINEDLLOVERRIDES", "mscoree,mshtml=;notepad.exe,winebrowser.exe=d");
        // This thread joins the desktop before any program starts, so a program inherits the
        // desktop where this test looks for its window, and the desktop stays up between programs.
        GetDesktopWindow();
    }

    void SetUp() override { ASSERT_TRUE(m_copied) << m_exe << ": error " << m_copyError; }

    std::string Ini() const { return ReadBytes(m_home / "Tolvek.ini"); }

    // The program started without a job, and its window once shown. Wine on a loaded machine has
    // been seen to run a program whose window the test never saw: such a program is ended and
    // started once more, and that is told. One that ends by itself without a window is not.
    std::unique_ptr<Program> StartWithWindow(const std::string& exe, HWND& window) const
    {
        for (int attempt = 0;; ++attempt) {
            auto program = std::make_unique<Program>(exe, "");
            window = program->Started() ? program->WaitForWindow() : nullptr;
            if (window != nullptr || attempt == 1 || !program->Started() || program->Ends(0)) {
                return program;
            }
            std::fprintf(stderr, "%s: %s; starting it once more\n", exe.c_str(), program->Why().c_str());
        }
    }

    TempFolder m_home;
    TempFolder m_sources;
    const std::string m_exe = m_home / "tolvek-test.exe";
    bool m_copied = false;
    DWORD m_copyError = 0;
};

const char kDefaultIni[] =
    "[EnvData]\r\nStrFlg=0\r\nTgtFile=|c|cpp|h|\r\nToken=\"\r\nSubFolder=0\r\nSyntax=0\r\n";
const char kLogOfA[] = "a.c(1): \"x\"\r\n";

// A job named on the command line: what the sources hold, what the program is given, and what it
// leaves. Each case runs on its own: no settings file and no log before it.
struct CommandLineJob {
    const char* what;
    const char* iniBefore;  // Tolvek.ini before the run, or null
    const char* file;       // a file written under the sources (its folder made first), or null
    const char* content;
    const char* argument;   // under the sources ("": the sources themselves)
    bool quoted;            // given in quotes
    const char* log;        // under the sources
    const char* records;    // the log's bytes, or null when the run writes no log
    const char* iniAfter;   // Tolvek.ini after the run
};

const char kIniOfTxt[] = "[EnvData]\r\nStrFlg=0\r\nTgtFile=|txt|\r\nToken=\"\r\n";

const CommandLineJob kCommandLineJobs[] = {
    {"a folder, and the program ends by itself", nullptr, nullptr, nullptr, "", false, "Tolvek.log",
     kLogOfA, kDefaultIni},
    {"the settings of the ini file, written back", kIniOfTxt, nullptr, nullptr, "", false, "Tolvek.log",
     "b.txt(1): \"y\"\r\n", kIniOfTxt},
    {"a quoted path with blanks, without its quotes", nullptr, "with blanks\\main.cpp",
     "puts(\"hello\");\n", "with blanks", true, "with blanks\\Tolvek.log", "main.cpp(1): \"hello\"\r\n",
     kDefaultIni},
    {"a file alone", nullptr, "c.h", "#define T \"t\"\n", "c.h", false, "Tolvek.log", "c.h(1): \"t\"\r\n",
     kDefaultIni},
    {"a path that names nothing", nullptr, nullptr, nullptr, "missing", false, "Tolvek.log", nullptr,
     kDefaultIni},
};

}  // namespace

TEST_F(ProgramTest, AJobOnTheCommandLineIsAnalysedAndTheProgramEndsByItself)
{
    for (const CommandLineJob& job : kCommandLineJobs) {
        SCOPED_TRACE(job.what);
        RemoveFile(m_home / "Tolvek.ini");
        RemoveFile(m_sources / job.log);
        if (job.iniBefore != nullptr) {
            WriteBytes(m_home / "Tolvek.ini", job.iniBefore);
        }
        if (job.file != nullptr) {
            std::string file = m_sources / job.file;
            MakeFolder(file.substr(0, file.find_last_of('\\')));
            WriteBytes(file, job.content);
        }
        std::string path = job.argument[0] == '\0' ? m_sources.Path() : m_sources / job.argument;
        Program program(m_exe, job.quoted ? "\"" + path + "\"" : path);
        ASSERT_TRUE(program.Started()) << m_exe << ": error " << program.StartError();
        ASSERT_TRUE(program.Ends());
        EXPECT_EQ(program.ExitCode(), 0u);
        if (job.records != nullptr) {
            EXPECT_EQ(ReadBytes(m_sources / job.log), job.records);
        } else {
            EXPECT_FALSE(FileExists(m_sources / job.log));
        }
        EXPECT_EQ(Ini(), job.iniAfter);
    }
}

TEST_F(ProgramTest, ClosingTheWindowWritesTheSettings)
{
    HWND window = nullptr;
    std::unique_ptr<Program> program = StartWithWindow(m_exe, window);
    ASSERT_TRUE(program->Started()) << m_exe << ": error " << program->StartError();
    ASSERT_NE(window, nullptr) << program->Why();
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 10);
    EXPECT_FALSE(FileExists(m_home / "Tolvek.ini"));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(program->Ends());
    EXPECT_EQ(Ini(), kDefaultIni);
}

TEST_F(ProgramTest, SecondInstanceEndsAtOnceAndAnalysesNothing)
{
    HWND window = nullptr;
    std::unique_ptr<Program> first = StartWithWindow(m_exe, window);
    ASSERT_TRUE(first->Started()) << m_exe << ": error " << first->StartError();
    ASSERT_NE(window, nullptr) << first->Why();

    Program second(m_exe, m_sources.Path());
    ASSERT_TRUE(second.Ends());
    EXPECT_FALSE(FileExists(m_sources / "Tolvek.log"));
    EXPECT_TRUE(IsWindow(window)) << "the first instance runs on";

    // A copy under another name is another application, with a mutex of its own.
    std::string other = m_home / "tolvek-other.exe";
    CopyFileA(m_exe.c_str(), other.c_str(), FALSE);
    Program third(other, m_sources.Path());
    ASSERT_TRUE(third.Ends());
    EXPECT_EQ(ReadBytes(m_sources / "Tolvek.log"), kLogOfA);

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(first->Ends());
}

TEST_F(ProgramTest, ATreeOfShiftJisAndUtf8SourcesGivesOneLogAtTheTop)
{
    WriteBytes(m_home / "Tolvek.ini",
               "[EnvData]\r\nStrFlg=2\r\nTgtFile=|c|cpp|\r\nToken=\"\r\nSubFolder=1\r\n");
    MakeFolder(m_sources / "net");
    // あ in Shift_JIS, and in UTF-8 with the byte order mark.
    WriteBytes(m_sources / "net\\sjis.c", "s = \"\x82\xA0\"; t = \"ascii\";\r\n");
    WriteBytes(m_sources / "net\\utf8.cpp", "\xEF\xBB\xBFs = \"\xE3\x81\x82\"; t = \"ascii\";\n");
    WriteBytes(m_sources / "net\\Tolvek.log", "");
    Program program(m_exe, m_sources.Path());
    ASSERT_TRUE(program.Ends());
    EXPECT_EQ(program.ExitCode(), 0u);
    std::string log = ReadBytes(m_sources / "Tolvek.log");
    EXPECT_NE(log.find("net\\sjis.c(1): \"\x82\xA0\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("net\\utf8.cpp(1): \"\x82\xA0\"\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.size(), std::string("net\\sjis.c(1): \"xx\"\r\nnet\\utf8.cpp(1): \"xx\"\r\n").size());
    EXPECT_EQ(ReadBytes(m_sources / "net\\Tolvek.log"), "");
}

TEST_F(ProgramTest, ACommandLineJobThatFailsEndsWithExitCodeOne)
{
    MakeFolder(m_sources / "Tolvek.log");
    Program program(m_exe, m_sources.Path());
    ASSERT_TRUE(program.Ends());
    EXPECT_EQ(program.ExitCode(), 1u);
}

namespace {

// The program's resources, read without running it.
class ProgramResources {
public:
    ProgramResources()
        : m_module(LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
    }
    ~ProgramResources() { FreeLibrary(m_module); }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    // The bytes of a resource in Japanese; empty when there is none.
    std::string Japanese(WORD type, WORD id) const
    {
        HRSRC found = FindResourceExA(m_module, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id),
                                      MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        if (found == nullptr) {
            return std::string();
        }
        const char* data = static_cast<const char*>(LockResource(LoadResource(m_module, found)));
        return std::string(data, SizeofResource(m_module, found));
    }

private:
    HMODULE m_module;
};

}  // namespace

TEST(ProgramResourcesTest, AreJapaneseWithVersionIconsAndManifest)
{
    ProgramResources resources;
    const WORD kDialogs[] = {100, 102, 129};
    for (WORD dialog : kDialogs) {
        EXPECT_FALSE(resources.Japanese(5, dialog).empty()) << "dialog " << dialog;  // RT_DIALOG
    }
    EXPECT_FALSE(resources.Japanese(240, 129).empty()) << "the settings dialog's combo items";
    EXPECT_FALSE(resources.Japanese(6, 101 / 16 + 1).empty()) << "the string table";

    // The version: 1.0.0.1 as file and as product version.
    std::string version = resources.Japanese(16, 1);  // RT_VERSION
    const char kSignature[] = "\xBD\x04\xEF\xFE";
    size_t at = version.find(std::string(kSignature, 4));
    ASSERT_NE(at, std::string::npos);
    VS_FIXEDFILEINFO info = {};
    std::memcpy(&info, version.data() + at, sizeof info);
    EXPECT_EQ(info.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(info.dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(info.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(info.dwProductVersionLS, 0x00000001u);

    // The icon: a 32 by 32 and a 16 by 16 image of 256 colours.
    std::string group = resources.Japanese(14, 128);  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u + 2 * 14);
    std::vector<std::string> images;
    for (size_t i = 0; i < 2; ++i) {
        const unsigned char* entry =
            reinterpret_cast<const unsigned char*>(group.data()) + 6 + 14 * i;
        images.push_back(std::to_string(entry[0]) + "x" + std::to_string(entry[1]) + "x" +
                         std::to_string(entry[6]));
    }
    EXPECT_EQ(images, (std::vector<std::string>{"32x32x8", "16x16x8"}));

    std::string manifest = resources.Japanese(24, 1);  // RT_MANIFEST
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
}
