#pragma once

// Why an operation on a file or folder failed: a kind that a front end can put in its own words,
// and the system's own error code (errno on Linux, GetLastError on Windows) for the details.
enum class FailureKind {
    None,
    NotFound,       // no such file or folder
    AccessDenied,   // permission denied
    NameTooLong,    // the path is longer than the system accepts
    NotRegularFile, // a FIFO, socket or device, or a folder where a file was wanted
    SymbolicLink,   // a link where none is followed
    NoSpace,        // the disk or the quota is full
    Stopped,        // a wait given up because the job was asked to stop
    Other,
};

struct Failure {
    FailureKind kind = FailureKind::None;
    int systemCode = 0;
};

// The failure of the last system call that failed on this thread.
Failure LastSystemFailure();

// A failure of our own finding, without a system error behind it.
inline Failure MakeFailure(FailureKind kind) { return Failure{kind, 0}; }
