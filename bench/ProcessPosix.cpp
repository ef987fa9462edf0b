#include "bench/PeakMemory.h"
#include "bench/ProcessorTime.h"

#include <sys/resource.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

double PeakMegabytesOf(const PeakJob& job)
{
    // A fresh process of the benchmark itself: a fork alone would carry the resident pages and the
    // allocator's state (its arenas) of all the work done before it, which a job on many threads
    // then counts too.
    std::string kind = std::to_string(static_cast<int>(job.kind));
    std::string threads = std::to_string(job.threads);
    pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", "tolvek-bench", kPeakChildArgument, kind.c_str(), job.path.c_str(),
              threads.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) {
        return 0;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return 0;
    }
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

bool RanAsPeakChild(int argc, char** argv, int& status)
{
    if (argc != 5 || std::strcmp(argv[1], kPeakChildArgument) != 0) {
        return false;
    }
    status = RunPeakJob(PeakJobOfArguments(argv + 2)) ? 0 : 1;
    return true;
}

double ThreadProcessorSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + time.tv_nsec / 1e9;
}
