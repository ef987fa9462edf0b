#pragma once

#include "engine/RecordFormat.h"
#include "platform/AppendFile.h"
#include "platform/CString.h"

#include <cstdint>
#include <memory>

// The file that a job appends its records to, shared with other writers:
// - it is opened, and so created, when a file first needs it, and stays open for the job;
// - the records of one file reach it together: it is locked from the file's first record until
//   EndFile, so that other jobs and processes append before or after them, never between;
// - records are gathered in blocks of 64 KiB, and a record longer than that goes out in pieces,
//   so that memory does not grow with a record's size;
// - a write that fails leaves the file ending at its last whole record, and the file takes
//   nothing more;
// - a line left unended (by a writer that was killed) is ended before anything is appended.
class RecordFile : public RecordBytes {
public:
    explicit RecordFile(const char* path);
    ~RecordFile() override;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    const char* Path() const { return m_path; }

    // Opens the file when it is not open yet; false when it cannot be (or has failed before).
    bool Open();
    bool WasOpened() const { return m_opened; }

    void Append(const char* data, size_t length) override;
    void EndRecord() override;
    // The end of one file's records: they are written, and the file is free for other writers.
    void EndFile();

    bool Failed() const { return m_failed; }
    const Failure& GetFailure() const { return m_file.GetFailure(); }
    // Whole records in the file.
    int64_t RecordsWritten() const { return m_recordsWritten; }

private:
    bool TakeFile();
    bool Write(const char* data, size_t length);
    void Flush();
    void Fail();

    CString m_path;
    AppendFile m_file;
    bool m_opened = false;
    bool m_failed = false;
    bool m_taken = false;                  // locked for the current file's records
    uint64_t m_fileSize = 0;               // the file's size after our writes
    uint64_t m_lastRecordEnd = 0;          // where the last whole record we wrote ends
    std::unique_ptr<char[]> m_buffer;
    size_t m_used = 0;
    size_t m_recordEndInBuffer = 0;        // where the last whole record in the buffer ends
    int64_t m_recordsInBuffer = 0;
    int64_t m_recordsWritten = 0;
};
