#pragma once

#include "engine/RecordOutput.h"
#include "platform/AppendFile.h"
#include "platform/CString.h"
#include "platform/Directory.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// The file that a job appends its records to, shared with other writers:
// - it is opened, and so created, when a file first needs it, and stays open for the job;
// - records are gathered in a buffer of 64 KiB, so that the records of many small files go out
//   in one write; a record longer than that goes out in pieces, so that memory does not grow
//   with a record's size;
// - the records of one file reach the file together: it is locked for each write, and from the
//   first write of a file's records until that file's end, so that other jobs and processes
//   append before or after them, never between;
// - a write that fails leaves the file ending at its last whole record, and the file takes
//   nothing more;
// - a line left unended (by a writer that was killed) is ended before anything is appended;
// - a new, empty file begins with the format's preamble (a header).
// It may also be the process's standard output, where the same holds as far as a pipe allows.
class RecordFile : public RecordOutput {
public:
    explicit RecordFile(const char* path);
    // The process's standard output.
    struct StandardOutput {};
    explicit RecordFile(StandardOutput);
    // A path that the user named: a link is followed, and a pipe or device is written as a
    // stream.
    struct Named {};
    RecordFile(const char* path, Named);
    // Writes what waits (Release).
    ~RecordFile() override;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // The file's path, or "standard output".
    const char* Path() const { return m_path; }
    bool IsStandardOutput() const { return m_standardOutput; }

    // A flag that ends a wait for the file's lock, or for a pipe's reader, when it is set: the
    // file then takes nothing more and ends at its last whole record (Failed, with
    // FailureKind::Stopped).
    void SetStop(const std::atomic<bool>* stop) { m_file.SetStop(stop); }

    // What a new, empty file begins with.
    void SetPreamble(const std::string& preamble) { m_preamble = preamble; }

    // Opens the file when it is not open yet; false when it cannot be (or has failed before).
    bool Open() override;
    // A source that is this file is read as it stands with the records of the files before it:
    // what waits is written first.
    OwnSource BeginSource(TextReader& source, const char* path) override;
    // True when the open source `source` (or, when the system does not tell its identity, the
    // file at `path`) is this file. May be asked from any thread.
    bool IsItself(TextReader& source, const char* path) const;

    // Locks the file now for the records of the file that comes next, as a long file's first
    // write would. For records written from another thread: the lock is then taken and freed on
    // this one, as the system's locks of a process expect.
    bool TakeFile();

    void Append(const char* data, size_t length) override;
    void EndRecord() override;
    char* RoomForRecord(size_t most) override;
    void RecordWritten(size_t length) override;
    // Records ending here, `count` of them: the whole records that a worker gathered.
    void EndRecords(int64_t count);
    // The end of one file's records: written now if part of them is, or when the buffer is half
    // full; otherwise they wait for the next files' records.
    void EndFile() override;
    // Writes every record that waits, and frees the file for other writers.
    void Release();

    bool Failed() const override { return m_failed; }
    const Failure& GetFailure() const { return m_file.GetFailure(); }
    // Whole records written to the file.
    int64_t RecordsWritten() const { return m_recordsWritten; }
    // Whole records given, written or waiting to be.
    int64_t RecordsTaken() const { return m_recordsTaken; }

private:
    void FreeFile();
    bool Write(const char* data, size_t length);
    void Flush();
    void Fail();

    CString m_path;
    bool m_standardOutput = false;
    bool m_named = false;
    std::string m_preamble;
    AppendFile m_file;
    bool m_opened = false;
    enum OpenAs { kNotOpenYet, kFileOfIdentity, kStream };
    std::atomic<int> m_openAs{kNotOpenYet};  // set once it is open
    FolderIdentity m_identity;               // with kFileOfIdentity
    bool m_failed = false;
    bool m_taken = false;                  // locked, for a file whose records are being written
    uint64_t m_fileSize = 0;               // the file's size after our writes
    uint64_t m_lastRecordEnd = 0;          // where the last whole record we wrote ends
    std::unique_ptr<char[]> m_buffer;
    size_t m_used = 0;
    size_t m_recordEndInBuffer = 0;        // where the last whole record in the buffer ends
    int64_t m_recordsInBuffer = 0;
    int64_t m_recordsWritten = 0;
    int64_t m_recordsTaken = 0;
};
