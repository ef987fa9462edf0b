#include "bench/EncodingTiming.h"

#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "engine/EncodingDetector.h"
#include "platform/TextFile.h"

#include <vector>

double TimeEncodingDecisions(const std::string& folder)
{
    std::vector<char> block(128 * 1024);
    double seconds = 0;
    for (const std::string& path : ListTargetFiles(folder)) {
        TextReader source;
        if (!source.Open(path.c_str())) {
            continue;
        }
        EncodingDetector detector(source);
        Stopwatch markWatch;
        bool utf16 = detector.TakeUtf16Mark();
        seconds += markWatch.Seconds();
        if (utf16) {
            continue;
        }
        size_t got = 0;
        while ((got = source.Read(block.data(), block.size())) > 0) {
            if (detector.Decided()) {
                continue;  // read on, as the scan does, at no cost to the decision
            }
            Stopwatch watch;
            detector.Look(block.data(), block.data() + got);
            seconds += watch.Seconds();
        }
    }
    return seconds;
}
