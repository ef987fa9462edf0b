// Feeds arbitrary settings files to the Linux profile reader and writer: nothing may crash, a
// value written reads back as written, and writing a key leaves every other line as it was.
#include "platform/posix/IniText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A section, key or value as the program writes it: one line, no blanks at either end.
std::string OneLine(const std::string& text)
{
    std::string line;
    for (char byte : text) {
        if (byte != '\r' && byte != '\n' && byte != '\0') {
            line += byte;
        }
    }
    size_t begin = line.find_first_not_of(" \t\v\f");
    size_t end = line.find_last_not_of(" \t\v\f");
    return begin == std::string::npos ? std::string() : line.substr(begin, end - begin + 1);
}

size_t LineCount(const std::string& text)
{
    size_t lines = 0;
    for (char byte : text) {
        lines += byte == '\n' ? 1 : 0;
    }
    return lines;
}

}  // namespace

// Input: a key, a NUL, a value, a NUL, then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t keyEnd = input.find('\0');
    size_t valueEnd = keyEnd == std::string::npos ? std::string::npos : input.find('\0', keyEnd + 1);
    if (valueEnd == std::string::npos) {
        return 0;
    }
    std::string key = OneLine(input.substr(0, keyEnd));
    std::string value = OneLine(input.substr(keyEnd + 1, valueEnd - keyEnd - 1));
    std::string file = input.substr(valueEnd + 1);
    if (key.empty() || key[0] == ';' || key[0] == '[' || key.find('=') != std::string::npos) {
        return 0;
    }

    IniText text(file);
    std::string before;
    text.Read("EnvData", key, before);
    text.Write("EnvData", key, value);
    std::string after;
    if (!text.Read("EnvData", key, after) || after != value) {
        std::abort();
    }
    // The write adds at most a section line, a key line and a line end; it removes no line.
    std::string content = text.Content();
    if (LineCount(content) > LineCount(file) + 3 || LineCount(content) < LineCount(file)) {
        std::abort();
    }
    IniText reread(content);
    if (!reread.Read("EnvData", key, after) || after != value) {
        std::abort();
    }
    return 0;
}
