#include "engine/LogFile.h"

bool LogFile::EnsureOpen()
{
    if (m_file.IsOpen()) {
        return true;
    }
    if (m_failed) {
        return false;
    }
    m_opened = m_file.Open(m_path);
    m_failed = !m_opened;
    return m_opened;
}

void LogFile::AppendRecord(const char* record, size_t length)
{
    if (m_failed) {
        return;
    }
    m_failed = !m_file.AppendRecord(record, length);
    ++m_records;
}

void LogFile::Flush()
{
    if (!m_failed) {
        m_failed = !m_file.Flush();
    }
}
