#include "engine/ExtractStrings.h"

#include "engine/EncodingDetector.h"
#include "engine/LogFormat.h"
#include "engine/RecordFile.h"
#include "engine/RecordOutput.h"
#include "engine/Utf16.h"
#include "platform/TextFile.h"

#include <climits>
#include <cstdint>
#include <vector>

namespace {

const size_t kReadBlockBytes = 128 * 1024;

// Writes each literal as a record; opens the record file at the first delimiter line.
class RecordSink : public LiteralSink {
public:
    RecordSink(RecordOutput& records, const RecordFormat& format, const char* displayName,
               const EncodingDetector& detector)
        : m_records(records), m_format(format), m_label(format.FileLabel(displayName)),
          m_detector(detector)
    {
    }

    bool OnDelimiterLine() override
    {
        if (!m_records.Open()) {
            return false;
        }
        if (m_count < INT_MAX) {
            ++m_count;
        }
        return true;
    }

    void OnLiteral(int64_t line, const LiteralText& text) override
    {
        m_format.WriteRecord(m_label, line, text, m_detector.Encoding(), m_records);
    }

    int Count() const { return m_count; }

private:
    RecordOutput& m_records;
    const RecordFormat& m_format;
    CString m_label;
    const EncodingDetector& m_detector;  // how the file is read, as far as it is decided
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

bool IsSet(const std::atomic<bool>* flag) { return flag != nullptr && flag->load(std::memory_order_relaxed); }

// Feeds the scanner block by block, until the file ends, the records can go nowhere or a stop
// is asked for.
struct BlockScan {
    LiteralScanner& scanner;
    FileScan& scan;
    bool whole = true;  // every block was scanned

    bool Feed(const char* begin, const char* end)
    {
        if (!scanner.Feed(begin, end)) {
            whole = false;  // the record file cannot be opened
        } else if (IsSet(scan.stop) || IsSet(scan.giveUp)) {
            scan.stopped = true;
            whole = false;
        }
        return whole;
    }
};

// A file in the code page or in UTF-8, read as text.
void ScanText(TextReader& source, EncodingDetector& detector, BlockScan& blocks)
{
    char* block = ReadBlock();
    size_t got = 0;
    while ((got = source.Read(block, kReadBlockBytes)) > 0) {
        bool wasDecided = detector.Decided();
        const char* text = detector.Look(block, block + got);
        if (!wasDecided && detector.Decided() && detector.Encoding() == SourceEncoding::Utf8) {
            blocks.scanner.ReadAsUtf8();
        }
        if (!blocks.Feed(text, block + got)) {
            return;
        }
    }
}

// A UTF-16 file after its mark, converted to UTF-8 block by block.
void ScanUtf16(TextReader& source, bool bigEndian, BlockScan& blocks)
{
    const size_t kRawBlockBytes = (kReadBlockBytes - 8) / 3 * 2;
    thread_local std::vector<char> raw(kRawBlockBytes);
    char* block = ReadBlock();
    Utf16ToUtf8 converter(bigEndian);
    size_t got = 0;
    while ((got = source.ReadRaw(raw.data(), raw.size())) > 0) {
        size_t length = converter.Convert(raw.data(), got, block);
        if (!blocks.Feed(block, block + length)) {
            return;
        }
    }
    size_t length = converter.Finish(block);
    blocks.Feed(block, block + length);
}

}  // namespace

int ExtractStrings(const char* logPath, const char* srcPath, const char* displayName,
                   const ScanSettings& settings)
{
    RecordFile log(logPath);
    FileScan scan;
    return ExtractStrings(log, LogFormat(), srcPath, displayName, settings, scan);
}

int ExtractStrings(RecordOutput& records, const RecordFormat& format, const char* srcPath,
                   const char* displayName, const ScanSettings& settings, FileScan& scan)
{
    TextReader source;
    bool opened = scan.place.folder != nullptr
                      ? source.OpenIn(*scan.place.folder, scan.place.name, scan.place.followLinks)
                      : source.Open(srcPath);
    if (!opened) {
        scan.readFailure = source.GetFailure();
        return 0;
    }
    scan.read = true;
    EncodingDetector detector(source);
    RecordSink sink(records, format, displayName, detector);
    LiteralScanner scanner(settings, sink);
    scanner.SetHeldTextGate(scan.gate);
    BlockScan blocks{scanner, scan};
    if (detector.TakeUtf16Mark()) {
        scanner.ReadAsUtf8();
        ScanUtf16(source, detector.Encoding() == SourceEncoding::Utf16Be, blocks);
    } else {
        ScanText(source, detector, blocks);
    }
    if (blocks.whole) {
        scan.readFailure = source.GetFailure();
        scanner.Finish();
    }
    records.EndFile();
    return records.Failed() ? 0 : sink.Count();
}
