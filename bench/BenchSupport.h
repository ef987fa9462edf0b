#pragma once

#include <chrono>
#include <string>

struct BenchOptions {
    int files = 2000;  // target files
    bool keep = false;
    bool skipBig = false;
    std::string folder;  // use this folder instead of a new temporary one
};

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

std::string MakeTempFolder();
void MakeFolderPath(const std::string& path);
void RemovePath(const std::string& path);
double FileSize(const std::string& path);

// True for the name of a target file under the default list (.c, .cpp, .h).
bool IsTargetName(const char* name);

// Opens, reads and closes every target file of the folder; returns the bytes read.
double ReadAllFiles(const std::string& folder);
// The seconds that ReadAllFiles takes.
double TimeReading(const std::string& folder);
