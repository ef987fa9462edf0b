#include "engine/ExtractStrings.h"

#include "engine/CppLiteralScanner.h"
#include "engine/EncodingDetector.h"
#include "engine/LogFormat.h"
#include "engine/RecordFile.h"
#include "engine/RecordOutput.h"
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

    void OnLiteral(const LiteralPlace& place, const LiteralText& text) override
    {
        m_format.WriteRecord(m_label, place, text, m_detector.Encoding(), m_records);
    }

    int Count() const { return m_count; }

private:
    RecordOutput& m_records;
    const RecordFormat& m_format;
    CString m_label;
    const EncodingDetector& m_detector;  // how the file is read, as far as it is decided
    int m_count = 0;
};

// Where the text of a file read in text mode stands: the block read last, with the byte order
// mark that the scanner skipped at the start.
class TextModeOffsets : public StoredOffsets {
public:
    // A new file; the memory of the last one is kept.
    void Reset()
    {
        m_map.storedStart = 0;
        m_map.droppedCrLines.clear();
        m_fed = 0;
        m_blockFed = 0;
        m_skipped = 0;
    }
    StoredBlockMap& NextBlock() { return m_map; }
    // The scanner is fed the block from `skipped` bytes on.
    void Feeding(size_t skipped)
    {
        m_blockFed = m_fed;
        m_skipped = skipped;
    }
    void Fed(size_t length) { m_fed += length; }

    uint64_t StoredOffset(uint64_t decoded) const override
    {
        return m_map.StoredOffset(static_cast<size_t>(decoded - m_blockFed) + m_skipped);
    }

private:
    StoredBlockMap m_map;
    uint64_t m_fed = 0;       // bytes fed to the scanner before this block
    uint64_t m_blockFed = 0;  // bytes fed before the current block
    size_t m_skipped = 0;
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
    RecordFile log(logPath);
    FileScan scan;
    return ExtractStrings(log, LogFormat(), srcPath, displayName, settings, scan);
}

namespace {

// Feeds the file's blocks to `scanner`, either reader of literals.
template <typename Scanner>
void ScanBlocks(TextReader& source, EncodingDetector& detector, Scanner& scanner, FileScan& scan)
{
    thread_local TextModeOffsets offsets;
    offsets.Reset();
    scanner.SetStoredOffsets(offsets);
    char* block = ReadBlock();
    size_t got = 0;
    bool whole = true;
    while ((got = source.Read(block, kReadBlockBytes, &offsets.NextBlock())) > 0) {
        bool wasDecided = detector.Decided();
        const char* text = detector.Look(block, block + got);
        if (!wasDecided && detector.Decided() && detector.Encoding() == SourceEncoding::Utf8) {
            scanner.ReadAsUtf8();
        }
        offsets.Feeding(static_cast<size_t>(text - block));
        bool fed = scanner.Feed(text, block + got);
        offsets.Fed(static_cast<size_t>(block + got - text));
        if (!fed) {
            whole = false;  // the record file cannot be opened
            break;
        }
        if (scan.stop != nullptr && scan.stop->load(std::memory_order_relaxed)) {
            scan.stopped = true;
            whole = false;
            break;
        }
    }
    if (whole) {
        scan.readFailure = source.GetFailure();
        scanner.Finish();
    }
}

}  // namespace

int ExtractStrings(RecordOutput& records, const RecordFormat& format, const char* srcPath,
                   const char* displayName, const ScanSettings& settings, FileScan& scan)
{
    TextReader source;
    if (!source.Open(srcPath)) {
        scan.readFailure = source.GetFailure();
        return 0;
    }
    scan.read = true;
    EncodingDetector detector(source);
    RecordSink sink(records, format, displayName, detector);
    if (settings.syntax == SYNTAX_CPP) {
        CppLiteralScanner scanner(settings, SourceKindOf(srcPath), sink);
        ScanBlocks(source, detector, scanner, scan);
    } else {
        LiteralScanner scanner(settings, sink);
        ScanBlocks(source, detector, scanner, scan);
    }
    records.EndFile();
    return records.Failed() ? 0 : sink.Count();
}
