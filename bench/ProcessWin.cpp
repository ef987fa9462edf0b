#include "bench/PeakMemory.h"
#include "bench/ProcessorTime.h"

#include "bench/WinHandle.h"

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

// The child is this program again, started with
//     --peak-child DONE RELEASE KIND PATH
// where DONE and RELEASE are inherited events. It runs the job, sets DONE and waits for RELEASE:
// the parent reads the child's counters while the child still lives, because under Wine the
// counters of a process that has ended read as zero.

namespace {

std::string HandleText(HANDLE handle)
{
    return std::to_string(reinterpret_cast<uintptr_t>(handle));
}

HANDLE HandleFromText(const char* text)
{
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::strtoull(text, nullptr, 10)));
}

HANDLE MakeInheritableEvent()
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateEventA(&inherit, TRUE, FALSE, nullptr);
}

std::string ChildCommandLine(const PeakJob& job, HANDLE done, HANDLE release)
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) {
        return "";
    }
    return "\"" + std::string(self) + "\" " + kPeakChildArgument + " " + HandleText(done) + " " +
           HandleText(release) + " " + std::to_string(job.kind) + " \"" + job.path + "\" " +
           std::to_string(job.threads);
}

// The peak working set of the running child, once it has set `done`; 0 if it ended first.
double PeakOfRunningChild(HANDLE process, HANDLE done)
{
    HANDLE waits[] = {done, process};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        return 0;
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        return 0;
    }
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

double PeakMegabytesOf(const PeakJob& job)
{
    WinHandle done(MakeInheritableEvent());
    WinHandle release(MakeInheritableEvent());
    std::string commandLine = ChildCommandLine(job, done.Get(), release.Get());
    if (!done.IsValid() || !release.IsValid() || commandLine.empty()) {
        return 0;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return 0;
    }
    WinHandle process(started.hProcess);
    WinHandle thread(started.hThread);
    double peak = PeakOfRunningChild(process.Get(), done.Get());
    SetEvent(release.Get());
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.Get(), &status);
    return status == 0 ? peak : 0;
}

bool RanAsPeakChild(int argc, char** argv, int& status)
{
    if (argc != 7 || std::strcmp(argv[1], kPeakChildArgument) != 0) {
        return false;
    }
    status = RunPeakJob(PeakJobOfArguments(argv + 4)) ? 0 : 1;
    SetEvent(HandleFromText(argv[2]));
    WaitForSingleObject(HandleFromText(argv[3]), INFINITE);
    return true;
}

double ThreadProcessorSeconds()
{
    FILETIME created, ended, system, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &system, &user)) {
        return 0;
    }
    auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(system) + seconds(user);
}
