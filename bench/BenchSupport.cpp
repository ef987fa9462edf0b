#include "bench/BenchSupport.h"

#include "bench/ProcessorTime.h"

#include "engine/TargetList.h"
#include "platform/Directory.h"
#include "platform/Path.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

[[noreturn]] void ExitWithUsage(const char* program)
{
    std::fprintf(stderr,
                 "usage: %s [--files N] [--rounds N] [--folder PATH] [--keep] [--skip-big] "
                 "[--quick] [--scan-only] [--tree PATH]\n",
                 program);
    std::exit(2);
}

}  // namespace

std::vector<std::string> ListTargetFiles(const std::string& folder, bool subfolders)
{
    const CString targetList(kBenchTargetList);
    std::vector<std::string> paths;
    DirectoryList list;
    DirEntry entry;
    if (!list.Open(folder.c_str())) {
        return paths;
    }
    // Hidden files, links and devices are passed by, as the command passes them by.
    const uint32_t kPassedBy = kAttrHidden | kAttrSystem | kAttrLink | kAttrDevice;
    std::vector<std::string> folders;
    while (list.Next(entry)) {
        std::string path = JoinPath(folder, entry.name.GetString());
        if ((entry.attributes & kPassedBy) != 0) {
            continue;
        }
        if ((entry.attributes & kAttrDirectory) != 0) {
            if (subfolders) {
                folders.push_back(path);
            }
        } else if (IsTarget(targetList, entry.name)) {
            paths.push_back(path);
        }
    }
    for (const std::string& subfolder : folders) {
        std::vector<std::string> inside = ListTargetFiles(subfolder, true);
        paths.insert(paths.end(), inside.begin(), inside.end());
    }
    return paths;
}

BenchOptions ParseBenchOptions(int argc, char** argv)
{
    BenchOptions options;
    for (int index = 1; index < argc; ++index) {
        std::string argument = argv[index];
        if (argument == "--files" && index + 1 < argc) {
            options.files = std::atoi(argv[++index]);
        } else if (argument == "--rounds" && index + 1 < argc) {
            options.rounds = std::max(1, std::atoi(argv[++index]));
        } else if (argument == "--folder" && index + 1 < argc) {
            options.folder = argv[++index];
        } else if (argument == "--tree" && index + 1 < argc) {
            options.tree = argv[++index];
        } else if (argument == "--keep") {
            options.keep = true;
        } else if (argument == "--skip-big") {
            options.skipBig = true;
        } else if (argument == "--scan-only") {
            options.scanOnly = true;
        } else if (argument == "--quick") {
            options.files = 200;
            options.rounds = 3;
            options.skipBig = true;
        } else {
            ExitWithUsage(argv[0]);
        }
    }
    return options;
}

double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    size_t middle = values.size() / 2;
    std::sort(values.begin(), values.end());
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return folder + kPathSeparator + name;
}

void MakeFolderPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
}

void RemovePath(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        // The analysis makes the folder it reads the current directory, and Windows removes no
        // folder that a process is in: step out first.
        std::filesystem::current_path(std::filesystem::temp_directory_path(error), error);
    }
    std::filesystem::remove_all(path, error);
}

double FileSize(const std::string& path)
{
    std::error_code error;
    uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<double>(size);
}

double ProcessorClockStep()
{
    double first = ThreadProcessorSeconds();
    double moved = first;
    while (moved == first) {
        moved = ThreadProcessorSeconds();
    }
    double again = moved;
    while (again == moved) {
        again = ThreadProcessorSeconds();
    }
    return again - moved;
}
