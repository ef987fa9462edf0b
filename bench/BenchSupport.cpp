#include "bench/BenchSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

bool IsTargetName(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    return dot != nullptr && (std::strcmp(dot, ".c") == 0 || std::strcmp(dot, ".cpp") == 0 ||
                              std::strcmp(dot, ".h") == 0);
}

BenchOptions ParseBenchOptions(int argc, char** argv)
{
    BenchOptions options;
    for (int index = 1; index < argc; ++index) {
        std::string argument = argv[index];
        if (argument == "--files" && index + 1 < argc) {
            options.files = std::atoi(argv[++index]);
        } else if (argument == "--folder" && index + 1 < argc) {
            options.folder = argv[++index];
        } else if (argument == "--keep") {
            options.keep = true;
        } else if (argument == "--skip-big") {
            options.skipBig = true;
        } else {
            std::fprintf(stderr, "usage: %s [--files N] [--folder PATH] [--keep] [--skip-big]\n",
                         argv[0]);
            std::exit(2);
        }
    }
    return options;
}

std::string MakeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvek-bench-XXXXXX").string();
    if (mkdtemp(&pattern[0]) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

void MakeFolderPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
}

void RemovePath(const std::string& path)
{
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

double FileSize(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? static_cast<double>(status.st_size) : 0;
}

double ReadAllFiles(const std::string& folder)
{
    static char block[128 * 1024];
    double total = 0;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    while (const dirent* entry = readdir(dir)) {
        if (!IsTargetName(entry->d_name)) {
            continue;
        }
        int fd = open((folder + "/" + entry->d_name).c_str(), O_RDONLY);
        if (fd < 0) {
            continue;
        }
        ssize_t got = 0;
        while ((got = read(fd, block, sizeof block)) > 0) {
            total += static_cast<double>(got);
        }
        close(fd);
    }
    closedir(dir);
    return total;
}

double TimeReading(const std::string& folder)
{
    Stopwatch watch;
    ReadAllFiles(folder);
    return watch.Seconds();
}
