#include "bench/BenchFiles.h"

#include "bench/BenchSupport.h"
#include "bench/WinHandle.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

std::string MakeTempFolder()
{
    char temp[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH) {
        std::fprintf(stderr, "no temporary folder\n");
        std::exit(1);
    }
    std::string prefix =
        std::string(temp) + "tolvek-bench-" + std::to_string(GetCurrentProcessId());
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string folder = prefix + "-" + std::to_string(attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            return folder;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    std::fprintf(stderr, "cannot create a folder named %s-N\n", prefix.c_str());
    std::exit(1);
}

double ReadAllFiles(const std::string& folder, bool subfolders)
{
    // Page-aligned, as the analysis reads: the system copies into it faster.
    alignas(4096) static char block[128 * 1024];
    double total = 0;
    for (const std::string& path : ListTargetFiles(folder, subfolders)) {
        WinHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        DWORD got = 0;
        while (file.IsValid() && ReadFile(file.Get(), block, sizeof block, &got, nullptr) &&
               got > 0) {
            total += static_cast<double>(got);
        }
    }
    return total;
}
