#include "bench/EncodingTiming.h"

#include "bench/BenchFiles.h"
#include "bench/BenchSupport.h"
#include "engine/EncodingDetector.h"
#include "engine/ScanBuffers.h"
#include "platform/TextFile.h"

#include <vector>

EncodingTiming TimeEncodingDecisions(const std::string& folder)
{
    std::vector<char> block(128 * 1024);
    ScanBuffers buffers;
    EncodingTiming timing;
    double& seconds = timing.decisions;
    for (const std::string& path : ListTargetFiles(folder)) {
        TextReader source;
        if (!source.Open(path.c_str())) {
            continue;
        }
        EncodingDetector detector(source, buffers);
        size_t got = source.Read(block.data(), block.size());
        Stopwatch markWatch;
        bool bigEndian = false;
        bool utf16 = source.BeganWithUtf16Mark(bigEndian);
        double markSeconds = markWatch.Seconds();
        seconds += markSeconds;
        timing.utf16Marks += markSeconds;
        if (utf16) {
            continue;
        }
        for (; got > 0; got = source.Read(block.data(), block.size())) {
            if (detector.Decided()) {
                continue;  // read on, as the scan does, at no cost to the decision
            }
            Stopwatch watch;
            detector.Look(block.data(), block.data() + got);
            seconds += watch.Seconds();
        }
    }
    return timing;
}
