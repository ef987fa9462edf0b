// Feeds arbitrary command lines to the console's option parser: nothing may crash, and what it
// accepts can work (a target list that names an extension, a delimiter that can enclose text).
#include "console/ConsoleOptions.h"
#include "engine/TargetList.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// Input: the arguments after the program's name, separated by NUL bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments = {"tolvek"};
    std::string current;
    for (size_t at = 0; at < size; ++at) {
        if (data[at] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[at]);
        }
    }
    arguments.push_back(current);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);

    ConsoleOptions options;
    std::string error;
    if (!ParseConsoleOptions(static_cast<int>(arguments.size()), argv.data(), options, error)) {
        if (error.empty()) {
            std::abort();
        }
        return 0;
    }
    if (options.help || options.version) {
        return 0;
    }
    if (options.hasTargetList && !TargetListHasExtension(options.targetList.c_str())) {
        std::abort();
    }
    if (options.hasDelimiter && (options.delimiter.size() != 1 || options.delimiter[0] == '\n')) {
        std::abort();
    }
    if (options.hasCondition && (options.condition < 0 || options.condition > 2)) {
        std::abort();
    }
    AnalysisOptions analysis;
    ApplyConsoleOptions(options, analysis);
    return 0;
}
