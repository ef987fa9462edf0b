#include "platform/Failure.h"

#include <cerrno>

Failure LastSystemFailure()
{
    int code = errno;
    FailureKind kind = FailureKind::Other;
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        kind = FailureKind::NotFound;
        break;
    case EACCES:
    case EPERM:
        kind = FailureKind::AccessDenied;
        break;
    case ENAMETOOLONG:
        kind = FailureKind::NameTooLong;
        break;
    case ENOSPC:
    case EDQUOT:
        kind = FailureKind::NoSpace;
        break;
    case ELOOP:
        kind = FailureKind::SymbolicLink;
        break;
    case EISDIR:
    case ENXIO:
        kind = FailureKind::NotRegularFile;
        break;
    default:
        break;
    }
    return Failure{kind, code};
}
