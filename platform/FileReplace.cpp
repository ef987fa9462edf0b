#include "platform/FileReplace.h"

#include "platform/RawFile.h"

bool ReadWholeFile(const char* path, std::string& bytes, Failure& failure)
{
    RawFile file;
    uint64_t size = 0;
    if (!file.OpenForReading(path, size)) {
        failure = file.GetFailure();
        return false;
    }
    bytes.clear();
    bytes.reserve(static_cast<size_t>(size));
    char buffer[64 * 1024];
    for (;;) {
        size_t got = file.Read(buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        bytes.append(buffer, got);
    }
    failure = file.GetFailure();
    return failure.kind == FailureKind::None;
}
