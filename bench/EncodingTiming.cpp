#include "bench/EncodingTiming.h"

#include "bench/BenchSupport.h"
#include "engine/EncodingDetector.h"
#include "platform/TextFile.h"

#include <dirent.h>

#include <vector>

double TimeEncodingDecisions(const std::string& folder)
{
    std::vector<char> block(128 * 1024);
    double seconds = 0;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    while (const dirent* entry = readdir(dir)) {
        if (!IsTargetName(entry->d_name)) {
            continue;
        }
        TextReader source;
        if (!source.Open((folder + "/" + entry->d_name).c_str())) {
            continue;
        }
        EncodingDetector detector(source);
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
    closedir(dir);
    return seconds;
}
