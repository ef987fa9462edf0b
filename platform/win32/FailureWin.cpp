#include "platform/Failure.h"

#include <windows.h>

Failure LastSystemFailure()
{
    DWORD code = GetLastError();
    FailureKind kind = FailureKind::Other;
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        kind = FailureKind::NotFound;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        kind = FailureKind::AccessDenied;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
        kind = FailureKind::NameTooLong;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        kind = FailureKind::NoSpace;
        break;
    default:
        break;
    }
    return Failure{kind, static_cast<int>(code)};
}
