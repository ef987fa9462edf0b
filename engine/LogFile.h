#pragma once

#include "platform/CString.h"
#include "platform/TextFile.h"

// The log of one job. It is opened at the first line that needs it and stays open for the
// job's later files, so that a folder of many files costs one open. Records are collected and
// written in blocks of whole records, whenever 64 KiB have gathered and at the end of each file's
// scan. Once opening or a write has failed, the log takes nothing more.
class LogFile {
public:
    explicit LogFile(const char* path) : m_path(path) {}

    const char* Path() const { return m_path; }

    // Opens the log for appending, creating it when missing; true when it is open.
    bool EnsureOpen();
    void AppendRecord(const char* record, size_t length);
    // Writes the records collected so far.
    void Flush();

    bool WasOpened() const { return m_opened; }
    bool Failed() const { return m_failed; }
    const Failure& GetFailure() const { return m_file.GetFailure(); }
    // The records taken; all of them are in the log unless a write failed.
    int64_t RecordsTaken() const { return m_records; }

private:
    CString m_path;
    TextAppender m_file;
    bool m_opened = false;
    bool m_failed = false;
    int64_t m_records = 0;  // handed over before any failure
};
