#include "bench/BenchFiles.h"

#include "bench/BenchSupport.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

double ReadAllFiles(const std::string& folder, bool subfolders)
{
    // Page-aligned, as the analysis reads: the system copies into it faster.
    alignas(4096) static char block[128 * 1024];
    double total = 0;
    for (const std::string& path : ListTargetFiles(folder, subfolders)) {
        UniqueFd file(open(path.c_str(), O_RDONLY));
        ssize_t got = 0;
        while (file.IsValid() && (got = read(file.Get(), block, sizeof block)) > 0) {
            total += static_cast<double>(got);
        }
    }
    return total;
}
