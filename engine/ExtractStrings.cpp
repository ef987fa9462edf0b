#include "engine/ExtractStrings.h"

#include "engine/LogFile.h"
#include "platform/TextFile.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

const size_t kReadBlockBytes = 128 * 1024;

// Formats each literal as a record of the log; opens the log at the first delimiter line.
class LogRecordSink : public LiteralSink {
public:
    LogRecordSink(LogFile& log, const char* displayName)
        : m_log(log), m_displayName(displayName), m_nameLength(std::strlen(displayName))
    {
    }

    bool OnDelimiterLine() override
    {
        if (!m_log.EnsureOpen()) {
            return false;
        }
        if (m_count < INT_MAX) {
            ++m_count;
        }
        return true;
    }

    void OnLiteral(int64_t line, const char* text, size_t length) override
    {
        char number[24];
        char* digits = number + sizeof number;
        uint64_t value = static_cast<uint64_t>(line);
        do {
            *--digits = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        size_t digitCount = static_cast<size_t>(number + sizeof number - digits);

        // name(line): "text" and a line feed; most records fit the fixed buffer.
        size_t recordLength = m_nameLength + digitCount + length + 7;
        char* record = m_fixedRecord;
        if (recordLength > sizeof m_fixedRecord) {
            m_longRecord.resize(recordLength);
            record = &m_longRecord[0];
        }
        char* out = record;
        std::memcpy(out, m_displayName, m_nameLength);
        out += m_nameLength;
        *out++ = '(';
        std::memcpy(out, digits, digitCount);
        out += digitCount;
        std::memcpy(out, "): \"", 4);
        out += 4;
        std::memcpy(out, text, length);
        out += length;
        *out++ = '"';
        *out++ = '\n';
        m_log.AppendRecord(record, recordLength);
    }

    int Count() const { return m_count; }

private:
    LogFile& m_log;
    const char* m_displayName;
    size_t m_nameLength;
    char m_fixedRecord[512];
    std::string m_longRecord;  // for records that do not fit: grows with the longest text
    int m_count = 0;
};

// One read buffer per worker thread, reused for every file it scans. It starts on a page
// boundary: the system copies file pages into it several times faster than into a buffer that
// is offset from one.
char* ReadBlock()
{
    const size_t kPageBytes = 4096;
    thread_local std::vector<char> storage(kReadBlockBytes + kPageBytes);
    uintptr_t address = reinterpret_cast<uintptr_t>(storage.data());
    return storage.data() + (kPageBytes - address % kPageBytes) % kPageBytes;
}

}  // namespace

int ExtractStrings(const char* logPath, const char* srcPath, const char* displayName,
                   const ScanSettings& settings)
{
    LogFile log(logPath);
    FileScan scan;
    return ExtractStrings(log, srcPath, displayName, settings, scan);
}

int ExtractStrings(LogFile& log, const char* srcPath, const char* displayName,
                   const ScanSettings& settings, FileScan& scan)
{
    TextReader source;
    if (!source.Open(srcPath)) {
        scan.readFailure = source.GetFailure();
        return 0;
    }
    scan.read = true;
    LogRecordSink sink(log, displayName);
    LiteralScanner scanner(settings, sink);
    char* block = ReadBlock();
    size_t got = 0;
    while ((got = source.Read(block, kReadBlockBytes)) > 0) {
        if (!scanner.Feed(block, block + got)) {
            return 0;  // the log cannot be opened
        }
    }
    scan.readFailure = source.GetFailure();
    scanner.Finish();
    log.Flush();
    return sink.Count();
}
