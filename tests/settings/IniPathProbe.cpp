// Writes the INI path that CEnvData finds for this executable into the file named by its
// argument, so that a test can run it under another name.
#include "settings/EnvData.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        return 2;
    }
    char iniPath[260] = {};
    int found = CEnvData().GetIniPath(iniPath);
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        return 3;
    }
    std::fprintf(out, "%d %s", found, iniPath);
    std::fclose(out);
    return 0;
}
