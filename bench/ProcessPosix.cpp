#include "bench/PeakMemory.h"
#include "bench/ProcessorTime.h"

#include <sys/resource.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

double PeakMegabytesOf(const PeakJob& job)
{
    // The fork starts with the pages the benchmark has resident, so its figure includes them:
    // the "nothing" job tells how much that is.
    pid_t child = fork();
    if (child == 0) {
        _exit(RunPeakJob(job) ? 0 : 1);
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

bool RanAsPeakChild(int, char**, int&) { return false; }

double ThreadProcessorSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + time.tv_nsec / 1e9;
}
