#include "engine/ExtractStrings.h"

#include "engine/CppLiteralScanner.h"
#include "engine/EncodingDetector.h"
#include "engine/RecordOutput.h"
#include "engine/ScanBuffers.h"
#include "engine/Utf16.h"
#include "platform/FilePrefetch.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cstdint>
#include <vector>

namespace {

const size_t kReadBlockBytes = ScanBuffers::kBlockBytes;

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
    // `places`: false when no record tells a text's place beyond its line; then no map of the
    // dropped CRs is kept, and every offset is told as 0.
    explicit TextModeOffsets(bool places) : m_places(places) {}
    StoredBlockMap* NextBlock() { return m_places ? &m_map : nullptr; }
    // The scanner is fed the block from `skipped` bytes on.
    void Feeding(size_t skipped)
    {
        m_blockFed = m_fed;
        m_skipped = skipped;
    }
    void Fed(size_t length) { m_fed += length; }

    uint64_t StoredOffset(uint64_t decoded) const override
    {
        return m_places ? m_map.StoredOffset(static_cast<size_t>(decoded - m_blockFed) + m_skipped) : 0;
    }

private:
    bool m_places;
    StoredBlockMap m_map;
    uint64_t m_fed = 0;       // bytes fed to the scanner before this block
    uint64_t m_blockFed = 0;  // bytes fed before the current block
    size_t m_skipped = 0;
};

// Where the text of a UTF-16 file stands: for each byte of the converted block, where its
// character begins and ends in the file. Converting one code unit at a time tells both.
class Utf16Offsets : public StoredOffsets {
public:
    explicit Utf16Offsets(uint64_t markBytes) : m_raw(markBytes) {}

    // Converts `size` raw bytes into `out` (as Utf16ToUtf8::Convert does) and keeps where each
    // byte written stands; returns how many bytes it wrote.
    size_t Convert(Utf16ToUtf8& converter, const char* in, size_t size, char* out)
    {
        m_blockFed = m_fed;
        m_starts.clear();
        m_ends.clear();
        size_t written = 0;
        uint64_t pendingStart = m_pendingStart;
        for (size_t at = 0; at < size; ++at) {
            size_t length = converter.Convert(in + at, 1, out + written);
            uint64_t end = m_raw + at + 1;
            if (length == 0) {
                if (!m_holding) {
                    pendingStart = m_raw + at;  // a unit or pair that is not whole yet
                    m_holding = true;
                }
                continue;
            }
            Keep(m_holding ? pendingStart : m_raw + at, end, length);
            m_holding = false;
            written += length;
        }
        m_pendingStart = pendingStart;
        m_raw += size;
        m_fed += written;
        return written;
    }
    // What the end of the file releases.
    size_t Finish(Utf16ToUtf8& converter, char* out)
    {
        m_blockFed = m_fed;
        m_starts.clear();
        m_ends.clear();
        size_t length = converter.Finish(out);
        Keep(m_holding ? m_pendingStart : m_raw, m_raw, length);
        m_fed += length;
        return length;
    }

    uint64_t StoredOffset(uint64_t decoded) const override
    {
        return m_starts[static_cast<size_t>(decoded - m_blockFed)];
    }
    uint64_t StoredEnd(uint64_t decoded) const override
    {
        return m_ends[static_cast<size_t>(decoded - m_blockFed)];
    }

private:
    void Keep(uint64_t start, uint64_t end, size_t length)
    {
        m_starts.insert(m_starts.end(), length, start);
        m_ends.insert(m_ends.end(), length, end);
    }

    uint64_t m_raw;                 // raw bytes before the block
    uint64_t m_fed = 0;
    uint64_t m_blockFed = 0;
    bool m_holding = false;         // the converter holds bytes of a character not yet written
    uint64_t m_pendingStart = 0;    // where that character begins
    std::vector<uint64_t> m_starts;
    std::vector<uint64_t> m_ends;
};

bool IsSet(const std::atomic<bool>* flag) { return flag != nullptr && flag->load(std::memory_order_relaxed); }

// Feeds the scanner block by block, until the file ends, the records can go nowhere or a stop
// is asked for.
template <typename Scanner>
struct BlockScan {
    Scanner& scanner;
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

// A file in the code page or in UTF-8, read as text, from its first block of `got` bytes at
// `first` on; the blocks after it are read into `block`.
template <typename Scanner>
void ScanText(TextReader& source, EncodingDetector& detector, TextModeOffsets& offsets, const char* first,
              size_t got, char* block, BlockScan<Scanner>& blocks)
{
    for (const char* read = first; got > 0;
         read = block, got = source.Read(block, kReadBlockBytes, offsets.NextBlock())) {
        bool wasDecided = detector.Decided();
        const char* text = detector.Look(read, read + got);
        if (!wasDecided && detector.Decided() && detector.Encoding() == SourceEncoding::Utf8) {
            blocks.scanner.ReadAsUtf8();
        }
        offsets.Feeding(static_cast<size_t>(text - read));
        bool fed = blocks.Feed(text, read + got);
        offsets.Fed(static_cast<size_t>(read + got - text));
        if (!fed) {
            return;
        }
    }
}

// A UTF-16 file, converted to UTF-8 block by block: first the rest of the first block, of `got`
// bytes as stored at `first`, after its mark; then what is read on.
template <typename Scanner>
void ScanUtf16(TextReader& source, bool bigEndian, ScanBuffers& buffers, const char* first, size_t got,
               bool places, BlockScan<Scanner>& blocks)
{
    const size_t kRawBlockBytes = (kReadBlockBytes - 8) / 3 * 2;
    static_assert(kRawBlockBytes <= ScanBuffers::kSpareBytes, "the raw bytes fit the spare buffer");
    const size_t kMarkBytes = 2;
    char* raw = buffers.Spare();
    char* block = buffers.Block();
    Utf16ToUtf8 converter(bigEndian);
    Utf16Offsets offsets(kMarkBytes);
    blocks.scanner.SetStoredOffsets(offsets, places);
    // The first block may be the conversion's output buffer too: its raw bytes move out first.
    std::vector<char> firstBytes(first + kMarkBytes, first + got);
    for (size_t at = 0; at < firstBytes.size(); at += kRawBlockBytes) {
        size_t size = std::min(kRawBlockBytes, firstBytes.size() - at);
        std::memcpy(raw, firstBytes.data() + at, size);
        size_t length = offsets.Convert(converter, raw, size, block);
        if (!blocks.Feed(block, block + length)) {
            return;
        }
    }
    while ((got = source.ReadRaw(raw, kRawBlockBytes)) > 0) {
        size_t length = offsets.Convert(converter, raw, got, block);
        if (!blocks.Feed(block, block + length)) {
            return;
        }
    }
    size_t length = offsets.Finish(converter, block);
    blocks.Feed(block, block + length);
}

template <typename Scanner>
void ScanFile(TextReader& source, EncodingDetector& detector, Scanner& scanner, ScanBuffers& buffers,
              bool places, FileScan& scan)
{
    BlockScan<Scanner> blocks{scanner, scan};
    TextModeOffsets offsets(places);  // its list of dropped CRs allocates only for files with CR LF
    scanner.SetStoredOffsets(offsets, places);
    char* block = buffers.Block();
    // A file read ahead whole is scanned where its bytes stand.
    size_t capacity = kReadBlockBytes;
    char* first = source.HeldInPlace(capacity);
    first = first != nullptr ? first : block;
    size_t got = source.Read(first, capacity, offsets.NextBlock());
    bool bigEndian = false;
    if (source.BeganWithUtf16Mark(bigEndian)) {
        detector.DecideUtf16(bigEndian);
        scanner.ReadAsUtf8();
        ScanUtf16(source, bigEndian, buffers, first, got, places, blocks);
    } else {
        ScanText(source, detector, offsets, first, got, block, blocks);
    }
    if (blocks.whole) {
        scan.readFailure = source.GetFailure();
        scanner.Finish();
    }
}

}  // namespace

int ExtractStrings(RecordOutput& records, const RecordFormat& format, const char* srcPath,
                   const char* displayName, const ScanSettings& settings, FileScan& scan)
{
    TextReader source;
    const PrefetchedFile* prefetched = scan.place.prefetched;
    bool opened = true;
    if (prefetched != nullptr && prefetched->handle != -1) {
        source.OpenPrefetched(*prefetched);
    } else {
        opened = scan.place.folder != nullptr
                     ? source.OpenIn(*scan.place.folder, scan.place.name, scan.place.followLinks)
                     : source.Open(srcPath);
    }
    if (!opened) {
        scan.readFailure = source.GetFailure();
        return 0;
    }
    RecordOutput::OwnSource own = records.BeginSource(source, srcPath);
    if (own == RecordOutput::OwnSource::kReadLater) {
        scan.isOutput = true;
        return 0;
    }
    if (own == RecordOutput::OwnSource::kReadAgain && !source.TakeSizeAgain()) {
        scan.readFailure = source.GetFailure();
        return 0;
    }
    scan.read = true;
    ScanBuffers ownBuffers;  // allocated only when the caller lends none
    ScanBuffers& buffers = scan.buffers != nullptr ? *scan.buffers : ownBuffers;
    EncodingDetector detector(source, buffers);
    RecordSink sink(records, format, displayName, detector);
    if (settings.syntax == SYNTAX_CPP) {
        CppLiteralScanner scanner(settings, SourceKindOf(srcPath), sink);
        ScanFile(source, detector, scanner, buffers, format.WritesPlaces(), scan);
    } else {
        LiteralScanner scanner(settings, sink);
        scanner.SetHeldTextGate(scan.gate);
        ScanFile(source, detector, scanner, buffers, format.WritesPlaces(), scan);
    }
    records.EndFile();
    return records.Failed() ? 0 : sink.Count();
}
