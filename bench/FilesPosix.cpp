#include "bench/BenchFiles.h"

#include "bench/BenchSupport.h"
#include "platform/posix/UniqueFd.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

std::string MakeTempFolder()
{
    std::string pattern = JoinPath(std::filesystem::temp_directory_path().string(),
                                   "tolvek-bench-XXXXXX");
    if (mkdtemp(&pattern[0]) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

std::vector<std::string> ListTargetFiles(const std::string& folder)
{
    std::vector<std::string> paths;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (dir == nullptr) {
        return paths;
    }
    while (const dirent* entry = readdir(dir.get())) {
        if (IsTargetName(entry->d_name)) {
            paths.push_back(JoinPath(folder, entry->d_name));
        }
    }
    return paths;
}

double ReadAllFiles(const std::string& folder)
{
    // Page-aligned, as the analysis reads: the system copies into it faster.
    alignas(4096) static char block[128 * 1024];
    double total = 0;
    for (const std::string& path : ListTargetFiles(folder)) {
        UniqueFd file(open(path.c_str(), O_RDONLY));
        ssize_t got = 0;
        while (file.IsValid() && (got = read(file.Get(), block, sizeof block)) > 0) {
            total += static_cast<double>(got);
        }
    }
    return total;
}
