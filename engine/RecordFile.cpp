#include "engine/RecordFile.h"

#include "platform/Path.h"
#include "platform/TextFile.h"

#include <cstring>

namespace {

const size_t kBufferBytes = 64 * 1024;

}  // namespace

RecordFile::RecordFile(const char* path) : m_path(path) {}

RecordFile::RecordFile(StandardOutput) : m_path("standard output"), m_standardOutput(true) {}

RecordFile::RecordFile(const char* path, Named) : m_path(path), m_named(true) {}

RecordFile::~RecordFile() { Release(); }

bool RecordFile::Open()
{
    if (m_file.IsOpen()) {
        return true;
    }
    if (m_failed) {
        return false;
    }
    if (m_standardOutput) {
        m_opened = m_file.OpenStandardOutput();
    } else {
        m_opened = m_named ? m_file.OpenNamed(m_path) : m_file.Open(m_path);
    }
    m_failed = !m_opened;
    if (m_opened && !m_file.IsRegularFile()) {
        m_openAs.store(kStream, std::memory_order_release);
    } else if (m_opened && m_file.GetIdentity(m_identity)) {
        m_openAs.store(kFileOfIdentity, std::memory_order_release);
    }
    return m_opened;
}

RecordOutput::OwnSource RecordFile::BeginSource(TextReader& source, const char* path)
{
    if (!IsItself(source, path)) {
        return OwnSource::kNo;
    }
    Release();
    return OwnSource::kReadAgain;
}

bool RecordFile::IsItself(TextReader& source, const char* path) const
{
    // Once the file is open its own identity holds for the job; before, what stands at its
    // path now is what it would open. A stream (a pipe, a device) is never a source.
    FolderIdentity own;
    int openAs = m_openAs.load(std::memory_order_acquire);
    if (openAs == kStream) {
        return false;
    }
    if (openAs == kFileOfIdentity) {
        own = m_identity;
    } else if (m_standardOutput || !GetFolderIdentity(m_path, own)) {
        return false;
    }
    // Nearly every source differs from it in its number already, which is cheap to tell.
    uint64_t number = 0;
    if (source.GetFileNumber(number) && number != own.number) {
        return false;
    }
    FolderIdentity identity;
    if (!source.GetIdentity(identity)) {
        return IsSameFile(path, m_path);
    }
    return identity.device == own.device && identity.number == own.number;
}

// Locks the file, and ends a line that a killed writer left unended.
bool RecordFile::TakeFile()
{
    if (m_taken) {
        return true;
    }
    if (m_failed || !m_file.Lock(m_fileSize)) {
        m_failed = true;
        return false;
    }
    m_taken = true;
    m_lastRecordEnd = m_fileSize;
    char last = '\n';
    if (m_fileSize > 0 && m_file.ReadByteAt(m_fileSize - 1, last) && last != '\n') {
        if (!Write("\r\n", 2)) {
            return false;
        }
        m_lastRecordEnd = m_fileSize;
    }
    if (m_fileSize == 0 && !m_preamble.empty()) {
        if (!Write(m_preamble.data(), m_preamble.size())) {
            return false;
        }
        m_lastRecordEnd = m_fileSize;
    }
    m_preamble.clear();  // once: a stream seems empty each time it is taken
    return true;
}

void RecordFile::FreeFile()
{
    if (m_taken) {
        m_file.Unlock();
        m_taken = false;
    }
}

void RecordFile::Append(const char* data, size_t length)
{
    if (m_failed) {
        return;
    }
    if (m_buffer == nullptr) {
        m_buffer.reset(new char[kBufferBytes]);
    }
    if (m_used + length <= kBufferBytes) {
        std::memcpy(m_buffer.get() + m_used, data, length);
        m_used += length;
        return;
    }
    // The buffer is full: from here to the end of this file's records the file stays taken.
    if (!TakeFile()) {
        return;
    }
    Flush();
    if (m_failed) {
        return;
    }
    if (length >= kBufferBytes) {
        Write(data, length);  // a long piece of a long record goes out as it is
        return;
    }
    std::memcpy(m_buffer.get(), data, length);
    m_used = length;
}

void RecordFile::EndRecord() { EndRecords(1); }

// The buffer's free part, when the record fits there; a record that does not goes by Append,
// which writes out what waits.
char* RecordFile::RoomForRecord(size_t most)
{
    if (m_failed) {
        return nullptr;
    }
    if (m_buffer == nullptr) {
        m_buffer.reset(new char[kBufferBytes]);
    }
    return m_used + most <= kBufferBytes ? m_buffer.get() + m_used : nullptr;
}

void RecordFile::RecordWritten(size_t length)
{
    m_used += length;
    EndRecords(1);
}

void RecordFile::EndRecords(int64_t count)
{
    if (m_failed) {
        return;
    }
    m_recordsTaken += count;
    if (m_used == 0) {
        // The record went out in pieces: it is whole now.
        m_lastRecordEnd = m_fileSize;
        m_recordsWritten += count;
        return;
    }
    m_recordEndInBuffer = m_used;
    m_recordsInBuffer += count;
}

void RecordFile::EndFile()
{
    if (m_failed) {
        FreeFile();
        return;
    }
    if (m_taken || m_used >= kBufferBytes / 2) {
        Release();
    }
}

void RecordFile::Release()
{
    if (!m_failed && m_used > 0 && TakeFile()) {
        Flush();
    }
    FreeFile();
}

void RecordFile::Flush()
{
    if (m_used == 0) {
        return;
    }
    size_t used = m_used;
    size_t recordEnd = m_recordEndInBuffer;
    int64_t records = m_recordsInBuffer;
    m_used = 0;
    m_recordEndInBuffer = 0;
    m_recordsInBuffer = 0;
    uint64_t start = m_fileSize;
    if (Write(m_buffer.get(), used) && records > 0) {
        m_lastRecordEnd = start + recordEnd;
        m_recordsWritten += records;
    }
}

bool RecordFile::Write(const char* data, size_t length)
{
    if (!m_file.Append(data, length)) {
        Fail();
        return false;
    }
    m_fileSize += length;
    return true;
}

// Takes the file back to its last whole record; nothing more is written.
void RecordFile::Fail()
{
    m_failed = true;
    m_used = 0;
    m_recordsInBuffer = 0;
    m_file.Truncate(m_lastRecordEnd);
}
