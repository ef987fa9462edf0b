#include "engine/EncodingDetector.h"

#include "engine/ScanBuffers.h"
#include "engine/Utf8.h"
#include "platform/ByteSearch.h"
#include "platform/TextFile.h"

#include <cstring>
#include <vector>

namespace {

const size_t kMarkLength = sizeof kUtf8ByteOrderMark - 1;

}  // namespace

const char* EncodingDetector::Look(const char* begin, const char* end)
{
    if (!m_started) {
        m_started = true;
        if (static_cast<size_t>(end - begin) >= kMarkLength &&
            std::memcmp(begin, kUtf8ByteOrderMark, kMarkLength) == 0) {
            m_decided = true;
            m_encoding = SourceEncoding::Utf8;
            return begin + kMarkLength;
        }
    }
    if (m_decided) {
        return begin;
    }
    const char* high = FindHighByte(begin, end);
    if (high != end) {
        m_decided = true;
        if (RestIsUtf8(high, end)) {
            m_encoding = SourceEncoding::Utf8;
        }
    }
    return begin;
}

bool EncodingDetector::RestIsUtf8(const char* from, const char* end)
{
    Utf8Validator validator;
    if (!validator.Feed(from, end)) {
        return false;
    }
    char* ahead = m_buffers.Spare();
    const size_t aheadBytes = ScanBuffers::kSpareBytes;
    TextReader::Position back = m_source.Tell();
    size_t got = 0;
    while (validator.Valid() && (got = m_source.Read(ahead, aheadBytes)) > 0) {
        validator.Feed(ahead, ahead + got);
    }
    // The text may end at a 0x1A, but the encoding is the whole file's: the bytes after it count.
    static const char kEndOfText = 0x1A;
    bool pastEnd = false;
    while (validator.Valid() && (got = m_source.ReadPastEnd(ahead, aheadBytes)) > 0) {
        if (!pastEnd) {
            validator.Feed(&kEndOfText, &kEndOfText + 1);
            pastEnd = true;
        }
        validator.Feed(ahead, ahead + got);
    }
    bool valid = validator.Finish();
    m_source.Seek(back);
    return valid;
}
