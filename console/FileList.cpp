#include "console/FileList.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <cstdio>

std::vector<std::string> SplitFileList(const std::string& list, bool nullSeparated)
{
    const char separator = nullSeparated ? '\0' : '\n';
    std::vector<std::string> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(separator, start);
        if (end == std::string::npos) {
            end = list.size();
        }
        std::string name = list.substr(start, end - start);
#ifdef _WIN32
        // A list written on Windows ends its lines with CR LF; no Windows name holds a CR.
        if (!nullSeparated && !name.empty() && name.back() == '\r') {
            name.pop_back();
        }
#endif
        if (!name.empty()) {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    bool standardInput = path == "-";
#ifdef _WIN32
    // Bytes as they come: a NUL-separated list may hold any byte, 0x1A and CR included.
    if (standardInput) {
        _setmode(_fileno(stdin), _O_BINARY);
    }
#endif
    std::FILE* file = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    char block[64 * 1024];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.append(block, got);
    }
    bool failed = std::ferror(file) != 0;
    if (!standardInput) {
        std::fclose(file);
    }
    return !failed;
}
