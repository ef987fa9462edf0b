#include "platform/CommandLine.h"

const char* SkipProgramName(const char* commandLine)
{
    const unsigned char* at = reinterpret_cast<const unsigned char*>(commandLine);
    if (*at == '"') {
        ++at;
        while (*at != '\0' && *at != '"') {
            ++at;
        }
        if (*at == '"') {
            ++at;
        }
    } else {
        while (*at > ' ') {
            ++at;
        }
    }
    while (*at != '\0' && *at <= ' ') {
        ++at;
    }
    return reinterpret_cast<const char*>(at);
}
