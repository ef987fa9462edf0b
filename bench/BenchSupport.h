#pragma once

#include <chrono>
#include <string>
#include <vector>

struct BenchOptions {
    int files = 2000;  // target files
    int rounds = 11;   // rounds of the alternating timings, whose medians are printed
    bool keep = false;
    bool skipBig = false;
    bool scanOnly = false;  // only the in-memory scanner figures
    std::string folder;  // use this folder instead of a new temporary one
    std::string tree;    // time the command and rg on this tree of sources instead, untouched
};

// Also accepts --quick: few files and few rounds, and none of the big figures, for a smoke run;
// and --scan-only: the in-memory scanner figures alone, to compare builds of the scanner.
BenchOptions ParseBenchOptions(int argc, char** argv);

class Stopwatch {
public:
    double Seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// The middle value (of an even count, the mean of the two middle ones); 0 when there is none.
double Median(std::vector<double> values);

// `folder`, the system's separator and `name`.
std::string JoinPath(const std::string& folder, const std::string& name);
void MakeFolderPath(const std::string& path);
// Removes a file, or a folder with everything in it; nothing when it is not there.
void RemovePath(const std::string& path);
double FileSize(const std::string& path);

// The target list of every run the benchmark times or measures.
constexpr char kBenchTargetList[] = "|c|cpp|h|";

// The paths of the target files of the folder, and of its subfolders when asked, in the order
// the system lists them.
std::vector<std::string> ListTargetFiles(const std::string& folder, bool subfolders = false);
