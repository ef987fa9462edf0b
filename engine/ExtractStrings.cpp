#include "engine/ExtractStrings.h"

#include "engine/LiteralScanner.h"
#include "platform/TextFile.h"
#include "settings/EnvData.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

const size_t kReadBlockBytes = 128 * 1024;

// Formats each literal as a record of the log; opens the log at the first delimiter line.
class LogRecordSink : public LiteralSink {
public:
    LogRecordSink(const char* logPath, const char* displayName)
        : m_logPath(logPath), m_displayName(displayName), m_nameLength(std::strlen(displayName))
    {
    }

    bool OnDelimiterLine() override
    {
        if (!m_log.IsOpen() && !m_log.Open(m_logPath)) {
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

        m_record.assign(m_displayName, m_nameLength);
        m_record += '(';
        m_record.append(digits, static_cast<size_t>(number + sizeof number - digits));
        m_record += "): \"";
        m_record.append(text, length);
        m_record += "\"\n";
        m_log.AppendRecord(m_record.data(), m_record.size());
    }

    int Count() const { return m_count; }

private:
    const char* m_logPath;
    const char* m_displayName;
    size_t m_nameLength;
    TextAppender m_log;
    std::string m_record;
    int m_count = 0;
};

// One read buffer per worker thread, reused for every file it scans.
char* ReadBlock()
{
    thread_local std::vector<char> block(kReadBlockBytes);
    return block.data();
}

}  // namespace

int ExtractStrings(const char* logPath, const char* srcPath, const char* displayName,
                   const CEnvData& settings)
{
    TextReader source;
    if (!source.Open(srcPath)) {
        return 0;
    }
    LogRecordSink sink(logPath, displayName);
    LiteralScanner scanner(MakeScanSettings(settings.m_strToken, settings.m_nStrFlg), sink);
    char* block = ReadBlock();
    size_t got = 0;
    while ((got = source.Read(block, kReadBlockBytes)) > 0) {
        if (!scanner.Feed(block, block + got)) {
            return 0;  // the log cannot be opened
        }
    }
    scanner.Finish();
    return sink.Count();
}
