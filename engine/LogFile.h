#pragma once

#include "platform/CString.h"
#include "platform/TextFile.h"

// The log of one job. It is opened at the first line that needs it and stays open for the
// job's later files, so that a folder of many files costs one open; each file's records are
// written when its scan ends.
class LogFile {
public:
    explicit LogFile(const char* path) : m_path(path) {}

    const char* Path() const { return m_path; }

    // Opens the log for appending, creating it when missing; true when it is open.
    bool EnsureOpen() { return m_file.IsOpen() || m_file.Open(m_path); }
    void AppendRecord(const char* record, size_t length) { m_file.AppendRecord(record, length); }
    void Flush() { m_file.Flush(); }

private:
    CString m_path;
    TextAppender m_file;
};
