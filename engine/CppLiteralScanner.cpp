#include "engine/CppLiteralScanner.h"

#include "engine/AsciiCase.h"
#include "engine/Conditions.h"
#include "engine/Utf8.h"
#include "platform/CodePage.h"
#include "platform/Inline.h"

#include <cstring>

namespace {

bool IsIdentifierByte(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || byte == '_' || byte >= 0x80;
}

bool IsDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }

// A trail or an escaped byte that needs a closer look, as a line feed ends the line and a NUL in
// a text must be told: one compare takes them, and the few control bytes between them.
bool IsLineFeedOrBelow(char byte) { return static_cast<unsigned char>(byte) <= '\n'; }

// A byte that a pp-number may hold after its first: 0x1F, 1.5f, 1'000.
bool IsNumberByte(unsigned char byte)
{
    return (byte < 0x80 && IsIdentifierByte(byte)) || byte == '.' || byte == '\'';
}

// The encoding prefixes of string literals; the raw ones are C++ only.
const char* const kPrefixes[] = {"L", "u8", "u", "U", "R", "LR", "u8R", "uR", "UR"};
const size_t kPlainPrefixCount = 4;

bool HasWideCharacter(const char* text, size_t length)
{
    bool wide = false;
    Utf8Decoder decoder;
    auto look = [&wide](uint32_t character, const unsigned char*, size_t) {
        wide = wide || (character >= 0x80 && (character < 0xFF61 || character > 0xFF9F));
    };
    decoder.Feed(text, length, look);
    decoder.Finish(look);
    return wide;
}

}  // namespace

const SameOffsets CppLiteralScanner::s_sameOffsets;

SourceKind SourceKindOf(const char* path)
{
    const char* dot = std::strrchr(path, '.');
    if (dot == nullptr || std::strpbrk(dot, "/\\") != nullptr) {
        return SourceKind::Cpp;
    }
    char extension[8] = {};
    size_t length = std::strlen(dot + 1);
    if (length >= sizeof extension) {
        return SourceKind::Cpp;
    }
    for (size_t at = 0; at < length; ++at) {
        extension[at] = FoldAsciiCase(dot[1 + at]);
    }
    if (std::strcmp(extension, "c") == 0) {
        return SourceKind::C;
    }
    if (std::strcmp(extension, "rc") == 0 || std::strcmp(extension, "rc2") == 0 ||
        std::strcmp(extension, "dlg") == 0) {
        return SourceKind::ResourceScript;
    }
    return SourceKind::Cpp;
}

CppLiteralScanner::CppLiteralScanner(const ScanSettings& settings, SourceKind kind, LiteralSink& sink)
    : m_sink(sink), m_kind(kind), m_condition(settings.condition)
{
    ReadLeadBytes();
}

void CppLiteralScanner::ReadAsUtf8()
{
    m_utf8 = true;
    ReadLeadBytes();
}

// Lead bytes come first: each state stops at them, so that a trail byte is never taken for a
// quote, a backslash or a comment mark.
void CppLiteralScanner::ReadLeadBytes()
{
    const bool* isLead = GetLeadByteTable().isLead;
    // Set up for each file: copies rather than a loop with a test per byte.
    if (m_utf8) {
        std::memset(m_lead, 0, sizeof m_lead);
    } else {
        std::memcpy(m_lead, isLead, sizeof m_lead);
    }
    bool anyLead = std::memchr(m_lead, true, sizeof m_lead) != nullptr;
    auto stops = [anyLead](const char* bytes) {
        StopBytes result{{0, 0, 0, 0}, 0, anyLead};
        for (; *bytes != '\0' && result.count < 4; ++bytes) {
            result.bytes[result.count++] = static_cast<unsigned char>(*bytes);
        }
        return result;
    };
    for (StopBytes& state : m_stops) {
        state = stops("\n");
    }
    // What ends a stretch of plain bytes, per state: a bit for each byte that matters.
    enum : unsigned char {
        kQuote = 1, kApostrophe = 2, kBackslash = 4, kLineEnd = 8, kParen = 16, kLeadByte = 32, kNul = 64
    };
    std::memset(m_class, 0, sizeof m_class);
    m_class[static_cast<unsigned char>('"')] = kQuote;
    m_class[static_cast<unsigned char>('\'')] = kApostrophe;
    m_class[static_cast<unsigned char>('\\')] = kBackslash;
    m_class[static_cast<unsigned char>('\n')] = kLineEnd;
    m_class[static_cast<unsigned char>(')')] = kParen;
    m_class[0] = kNul;
    for (int byte = 0x80; byte < 256; ++byte) {
        m_class[byte] = m_lead[byte] ? kLeadByte : 0;
    }
    std::memset(m_masks, kLineEnd | kLeadByte, sizeof m_masks);
    // A string stops at a NUL too, so that a literal can tell the record whether it holds one.
    m_masks[kString] = kQuote | kBackslash | kLineEnd | kLeadByte | kNul;
    m_masks[kChar] = kApostrophe | kBackslash | kLineEnd | kLeadByte;
    m_masks[kRawBody] = kParen | kLineEnd | kLeadByte;
    m_masks[kHeaderString] = kQuote | kLineEnd | kLeadByte;
    // A quote, an apostrophe, a slash or a line feed is never the trail of a double-byte
    // character: code and /* */ comments need no lead bytes.
    m_stops[kCode] = stops("\"'/");
    m_stops[kCode].highBytes = false;
    m_stops[kLineComment] = stops("\\\n");
    m_stops[kBlockComment] = stops("*");
    m_stops[kBlockComment].highBytes = false;
    m_stops[kString] = stops("\"\\\n");
    m_stops[kString].bytes[m_stops[kString].count++] = '\0';
    m_stops[kChar] = stops("'\\\n");
    m_stops[kRawBody] = stops(")\n");
    m_stops[kHeaderString] = stops("\"\n");
    m_findInCode = ChosenStopCountingSearch(m_stops[kCode]);
    m_findInComment = ChosenStopCountingSearch(m_stops[kBlockComment]);
}

bool CppLiteralScanner::Feed(const char* p, const char* end)
{
    m_at.blockBegin = p;
    m_codeStart = nullptr;
    m_textStart = m_inText ? p : nullptr;
    if (p < end && !m_stopped) {
        p = AfterBlockEnd(p);
    }
    while (p < end && !m_stopped) {
        p = Step(p, end);
    }
    EndBlock(end);
    return !m_stopped;
}

// Settles what the last block left undecided at its last byte.
const char* CppLiteralScanner::AfterBlockEnd(const char* p)
{
    if (m_afterLead) {
        m_afterLead = false;
        m_textMayHoldNul = m_textMayHoldNul || *p == '\0';
        return *p == '\n' ? p : p + 1;
    }
    if (m_starPending) {
        m_starPending = false;
        if (*p == '/') {
            EnterCode(p + 1);
            return p + 1;
        }
    }
    if (m_quotePending) {
        m_quotePending = false;
        if (*p == '"') {
            return p + 1;  // a doubled quote: both stay in the text
        }
        m_text.pop_back();
        CloseLiteral(nullptr, m_at.lastBlockEnd);
        EnterCode(p);
        return p;
    }
    if (m_backslashPending) {
        m_backslashPending = false;
        if (*p == '\n') {
            if (m_state == kString) {
                m_text.pop_back();
                m_textStart = p + 1;
            }
            LineFeed(p);
            return p + 1;
        }
        if (m_state == kString || m_state == kChar) {
            m_escape = !m_escape;
        }
    }
    return p;
}

const char* CppLiteralScanner::Step(const char* p, const char* end)
{
    switch (m_state) {
    case kCode:
        return Code(p, end);
    case kSlash:
        return AfterSlash(p);
    case kLineComment:
        return LineComment(p, end);
    case kBlockComment:
        return BlockComment(p, end);
    case kString:
    case kChar:
        return Quoted(p, end);
    case kRawDelimiter:
        return RawDelimiter(p);
    case kRawBody:
        return RawBody(p, end);
    case kRawClose:
        return RawClose(p);
    case kHeaderString:
        return HeaderString(p, end);
    default:
        return SkipLine(p, end);
    }
}

// Short stretches go by a table look-up per byte, longer ones to the block search; a whole
// double-byte character is skipped where it stands.
TOLVEK_ALWAYS_INLINE const char* CppLiteralScanner::Skip(const char* p, const char* end, State state)
{
    const unsigned char mask = m_masks[state];
    for (;;) {
        const char* shortEnd = end - p > 32 ? p + 32 : end;
        while (p < shortEnd && (m_class[static_cast<unsigned char>(*p)] & mask) == 0) {
            ++p;
        }
        if (p == shortEnd) {
            p = p == end ? end : FindStopByte(p, end, m_stops[state]);
            if (p == end) {
                return end;
            }
        }
        unsigned char byte = static_cast<unsigned char>(*p);
        if (!m_lead[byte]) {
            if ((m_class[byte] & mask) != 0) {
                return p;
            }
            ++p;  // a byte of the high half that is no lead byte
        } else if (end - p < 2 || IsLineFeedOrBelow(p[1])) {
            return p;
        } else {
            // Japanese texts hold runs of double-byte characters: read them on here. A trail that
            // may be a line feed or a NUL is left to TakeLead, which tells of either.
            do {
                p += 2;
            } while (end - p >= 2 && m_lead[static_cast<unsigned char>(*p)] && !IsLineFeedOrBelow(p[1]));
        }
    }
}

// A lead byte that Skip left: at the end of the block, or before a line feed, which it leaves.
const char* CppLiteralScanner::TakeLead(const char* p, const char* end)
{
    if (p + 1 == end) {
        m_afterLead = true;
        return end;
    }
    m_textMayHoldNul = m_textMayHoldNul || p[1] == '\0';
    return p[1] == '\n' ? p + 1 : p + 2;
}

void CppLiteralScanner::LineFeed(const char* at)
{
    ++m_line;
    m_at.lineStartFed = m_at.Fed(at + 1);
}

// The first of `stops` in [p, end), or `end`, counting the line feeds on the way: where nothing
// but line feeds matters before it, one pass over the bytes does both.
const char* CppLiteralScanner::FindStopCountingLines(const char* p, const char* end,
                                                     StopCountingSearch search, const StopBytes& stops)
{
    m_feedsFound = 0;
    const char* stop = search(p, end, stops, m_feedsFound, m_lineFound);
    if (m_feedsFound > 0) {
        m_line += static_cast<int64_t>(m_feedsFound);
        m_at.lineStartFed = m_at.Fed(m_lineFound);
    }
    return stop;
}

const char* CppLiteralScanner::Code(const char* p, const char* end)
{
    for (;;) {
        const char* stop = FindStopCountingLines(p, end, m_findInCode, m_stops[kCode]);
        if (stop == end) {
            return end;
        }
        p = stop + 1;
        switch (*stop) {
        case '/':
            if (p == end) {
                m_state = kSlash;
                return end;
            }
            if (*p == '/' || *p == '*') {
                return AfterSlash(p);
            }
            break;
        case '"':
            if (MayFollowDirective(stop) && IsHeaderName(stop)) {
                m_state = kHeaderString;
            } else {
                OpenLiteral(stop);
            }
            return p;
        default:  // an apostrophe
            if (m_kind == SourceKind::C || !IsDigitSeparator(stop)) {
                m_state = kChar;
                m_escape = false;
                return p;
            }
            break;
        }
    }
}

// True when only `#include`, `#include_next` or `#import` (blanks around each part) stands
// before the quote on its line. Most lines fail at their first byte that is not a blank.
bool CppLiteralScanner::IsHeaderName(const char* quote) const
{
    const char* from = m_at.blockBegin;
    const char* head = nullptr;
    size_t headLength = 0;
    if (m_at.lineStartFed >= m_at.fedBase) {
        from = m_at.blockBegin + (m_at.lineStartFed - m_at.fedBase);
    } else {
        head = m_lineHead;
        headLength = m_lineHeadLength;
    }
    if (head == nullptr) {
        // The line begins in this block: most lines fail at their first byte that is no blank.
        const char* first = from;
        while (first < quote && (*first == ' ' || *first == '\t')) {
            ++first;
        }
        if (first == quote || *first != '#') {
            return false;
        }
    }
    size_t length = headLength + static_cast<size_t>(quote - from);
    auto at = [&](size_t index) { return index < headLength ? head[index] : from[index - headLength]; };
    size_t index = 0;
    auto blanks = [&] {
        while (index < length && (at(index) == ' ' || at(index) == '\t')) {
            ++index;
        }
    };
    blanks();
    if (index == length || at(index) != '#') {
        return false;
    }
    ++index;
    blanks();
    char name[16];
    size_t nameLength = 0;
    for (; index < length && nameLength < sizeof name - 1; ++index) {
        char byte = at(index);
        if (!((byte >= 'a' && byte <= 'z') || byte == '_')) {
            break;
        }
        name[nameLength++] = byte;
    }
    name[nameLength] = '\0';
    blanks();
    return index == length && (std::strcmp(name, "include") == 0 ||
                               std::strcmp(name, "include_next") == 0 ||
                               std::strcmp(name, "import") == 0);
}

// `p` follows a slash in code.
const char* CppLiteralScanner::AfterSlash(const char* p)
{
    if (*p == '/') {
        m_state = kLineComment;
        return p + 1;
    }
    if (*p == '*') {
        m_state = kBlockComment;
        return p + 1;
    }
    m_state = kCode;
    return p;
}

// A backslash at `p` in a literal or a // comment: with a line feed after it, both vanish.
const char* CppLiteralScanner::Backslash(const char* p, const char* end)
{
    if (p + 1 == end) {
        m_backslashPending = true;
        return end;
    }
    if (p[1] == '\n') {
        if (m_state == kString) {
            AppendText(m_textStart, p);
            m_textStart = p + 2;
        }
        LineFeed(p + 1);
        return p + 2;
    }
    if (m_state != kLineComment) {
        m_escape = !m_escape;  // an escaped backslash escapes nothing
    }
    return p + 1;
}

// A // comment ends at the first line feed that no backslash continues. A byte 0x5C before the
// line feed is a backslash only when it begins a character, which a walk from a known character
// start tells; that walk is needed only then.
const char* CppLiteralScanner::LineComment(const char* p, const char* end)
{
    for (;;) {
        const char* lineFeed = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (lineFeed == nullptr) {
            return LineCommentToBlockEnd(p, end);
        }
        if (lineFeed > p && lineFeed[-1] == '\\' && StartsACharacter(p, lineFeed - 1)) {
            LineFeed(lineFeed);
            p = lineFeed + 1;
            continue;
        }
        EnterCode(lineFeed);
        return Code(lineFeed, end);  // read on, as after a literal
    }
}

// True when `at` begins a character, going by characters from `p`, which begins one.
bool CppLiteralScanner::StartsACharacter(const char* p, const char* at) const
{
    while (p < at) {
        p += m_lead[static_cast<unsigned char>(*p)] ? 2 : 1;
    }
    return p == at;
}

// The rest of a // comment that runs past the block: what its last byte leaves pending.
const char* CppLiteralScanner::LineCommentToBlockEnd(const char* p, const char* end)
{
    while (p < end) {
        if (m_lead[static_cast<unsigned char>(*p)]) {
            if (p + 1 == end) {
                m_afterLead = true;
            }
            p += 2;
        } else {
            m_backslashPending = *p == '\\' && p + 1 == end;
            ++p;
        }
    }
    return end;
}

const char* CppLiteralScanner::BlockComment(const char* p, const char* end)
{
    for (;;) {
        const char* star = FindStopCountingLines(p, end, m_findInComment, m_stops[kBlockComment]);
        if (star == end) {
            return end;
        }
        if (star + 1 == end) {
            m_starPending = true;
            return end;
        }
        if (star[1] == '/') {
            EnterCode(star + 2);
            return star + 2 == end ? end : Code(star + 2, end);  // read on, as after a literal
        }
        p = star + 1;
    }
}

// Inside a string or character literal.
const char* CppLiteralScanner::Quoted(const char* p, const char* end)
{
    if (m_escape) {
        if (*p == '\\') {
            return Backslash(p, end);
        }
        if (*p != '\n') {
            m_escape = false;
            m_textMayHoldNul = m_textMayHoldNul || *p == '\0';
            return m_lead[static_cast<unsigned char>(*p)] ? TakeLead(p, end) : p + 1;
        }
    }
    const char close = m_state == kString ? '"' : '\'';
    for (;;) {
        p = Skip(p, end, m_state);
        if (p == end) {
            return end;
        }
        if (*p == close) {
            break;
        }
        if (*p == '\\' && IsPlainEscape(p, end)) {
            p += 2;  // read on: most escapes are of this kind
            continue;
        }
        if (*p == '\0') {
            m_textMayHoldNul = true;
            ++p;
            continue;
        }
        break;
    }
    if (*p == close) {
        if (m_state == kString && m_kind == SourceKind::ResourceScript) {
            if (p + 1 == end) {
                m_quotePending = true;
                return end;
            }
            if (p[1] == '"') {
                return p + 2;
            }
        }
        if (m_state == kString) {
            CloseLiteral(p, m_at.StoredEnd(p));
        }
        EnterCode(p + 1);
        // Code follows a closed literal: read on here rather than going back through Step.
        return p + 1 == end || m_stopped ? p + 1 : Code(p + 1, end);
    }
    if (*p == '\\') {
        return Backslash(p, end);
    }
    if (*p == '\n') {
        // Not closed on its line: it opens nothing.
        m_inText = false;
        m_text.clear();
        EnterCode(p);
        return p;
    }
    return TakeLead(p, end);
}

// A backslash at `p` in a literal that escapes a character of one byte, in this block, with no
// line to splice: neither before the character nor, where that is a backslash too, after it.
bool CppLiteralScanner::IsPlainEscape(const char* p, const char* end) const
{
    if (end - p < 3) {
        return false;
    }
    unsigned char escaped = static_cast<unsigned char>(p[1]);
    return !IsLineFeedOrBelow(static_cast<char>(escaped)) && !m_lead[escaped] && (escaped != '\\' || p[2] != '\n');
}

const char* CppLiteralScanner::RawDelimiter(const char* p)
{
    char byte = *p;
    if (byte == '(') {
        m_state = kRawBody;
        m_textStart = p + 1;
        return p + 1;
    }
    if (byte == ' ' || byte == ')' || byte == '\\' || byte == '\t' || byte == '\v' ||
        byte == '\f' || byte == '\n' || m_delimiterLength == 16) {
        // Not a raw string after all: the line is broken, and yields nothing more.
        m_inText = false;
        m_state = kSkipLine;
        return p;
    }
    m_delimiter[m_delimiterLength++] = byte;
    return p + 1;
}

const char* CppLiteralScanner::RawBody(const char* p, const char* end)
{
    p = Skip(p, end, kRawBody);
    if (p == end) {
        return end;
    }
    if (*p == ')') {
        m_closeTextLength = m_text.size() + static_cast<size_t>(p - m_textStart);
        m_closeMatched = 0;
        m_state = kRawClose;
        return p + 1;
    }
    if (*p == '\n') {
        AppendText(m_textStart, p);
        m_text += "\\n";
        m_textStart = p + 1;
        LineFeed(p);
        return p + 1;
    }
    return TakeLead(p, end);
}

// After a ) in a raw string: the delimiter and a quote close it.
const char* CppLiteralScanner::RawClose(const char* p)
{
    if (m_closeMatched < m_delimiterLength) {
        if (*p == m_delimiter[m_closeMatched]) {
            ++m_closeMatched;
            return p + 1;
        }
    } else if (*p == '"') {
        AppendText(m_textStart, p);
        m_text.resize(m_closeTextLength);
        CloseLiteral(nullptr, m_at.StoredEnd(p));
        EnterCode(p + 1);
        return p + 1;
    }
    m_state = kRawBody;
    return p;
}

// A header name in quotes is no string literal: no escapes, no record.
const char* CppLiteralScanner::HeaderString(const char* p, const char* end)
{
    p = Skip(p, end, kHeaderString);
    if (p == end) {
        return end;
    }
    if (*p == '"') {
        EnterCode(p + 1);
        return p + 1;
    }
    if (*p == '\n') {
        EnterCode(p);
        return p;
    }
    return TakeLead(p, end);
}

const char* CppLiteralScanner::SkipLine(const char* p, const char* end)
{
    p = Skip(p, end, kSkipLine);
    if (p == end) {
        return end;
    }
    if (*p == '\n') {
        EnterCode(p);
        return p;
    }
    return TakeLead(p, end);
}

// Up to kTailBytes bytes of code just before `at`, oldest first; `more` tells whether more
// code precedes them.
size_t CppLiteralScanner::Before(const char* at, unsigned char* bytes, bool& more) const
{
    const char* from = CodeFrom();
    size_t inBlock = static_cast<size_t>(at - from);
    size_t fromTail = 0;
    if (m_codeStart == nullptr && inBlock < kTailBytes) {
        fromTail = kTailBytes - inBlock < m_tailCount ? kTailBytes - inBlock : m_tailCount;
    }
    size_t fromBlock = inBlock < kTailBytes ? inBlock : kTailBytes;
    std::memcpy(bytes, m_tail + m_tailCount - fromTail, fromTail);
    std::memcpy(bytes + fromTail, at - fromBlock, fromBlock);
    more = inBlock > kTailBytes || (m_codeStart == nullptr && (fromTail < m_tailCount || m_tailMore));
    return fromTail + fromBlock;
}

// A number holds the apostrophe when the pp-number before it begins with a digit (or a dot and
// a digit), or holds a separator already.
bool CppLiteralScanner::IsDigitSeparator(const char* apostrophe) const
{
    // Most apostrophes open a character literal after a blank or punctuation in this block's code.
    const char* codeFrom = CodeFrom();
    if (apostrophe > codeFrom && !IsNumberByte(static_cast<unsigned char>(apostrophe[-1]))) {
        return false;
    }
    unsigned char bytes[kTailBytes];
    bool more = false;
    size_t count = Before(apostrophe, bytes, more);
    size_t run = 0;
    bool separator = false;
    while (run < count && IsNumberByte(bytes[count - 1 - run])) {
        separator = separator || bytes[count - 1 - run] == '\'';
        ++run;
    }
    if (run == 0) {
        return false;
    }
    const unsigned char* first = bytes + count - run;
    return separator || IsDigit(first[0]) || (first[0] == '.' && run > 1 && IsDigit(first[1]));
}

// The encoding prefix that stands before the quote, or "".
const char* CppLiteralScanner::PrefixBefore(const char* quote) const
{
    unsigned char bytes[kTailBytes];
    bool more = false;
    size_t count = Before(quote, bytes, more);
    size_t run = 0;
    while (run < count && IsIdentifierByte(bytes[count - 1 - run])) {
        ++run;
    }
    const char* prefix = "";
    if (run > 0 && run <= 3 && (run < count || !more)) {
        size_t prefixes = m_kind == SourceKind::C ? kPlainPrefixCount : sizeof kPrefixes / sizeof kPrefixes[0];
        for (size_t index = 0; index < prefixes; ++index) {
            if (std::strlen(kPrefixes[index]) == run &&
                std::memcmp(kPrefixes[index], bytes + count - run, run) == 0) {
                prefix = kPrefixes[index];
            }
        }
    }
    return prefix;
}

TOLVEK_ALWAYS_INLINE void CppLiteralScanner::OpenLiteral(const char* quote)
{
    // Most quotes follow a blank or punctuation in this block's code: no prefix.
    const char* codeFrom = CodeFrom();
    bool plain = quote > codeFrom && !IsIdentifierByte(static_cast<unsigned char>(quote[-1]));
    const char* prefix = plain ? "" : PrefixBefore(quote);
    size_t prefixLength = plain ? 0 : std::strlen(prefix);
    size_t inBlock = static_cast<size_t>(quote - m_at.blockBegin);
    m_place.line = m_line;
    m_place.offset = prefixLength <= inBlock ? m_at.Stored(quote - prefixLength)
                                             : m_tailStored[m_tailCount - (prefixLength - inBlock)];
    m_place.column = static_cast<int64_t>(m_place.offset - m_at.LineStartStored()) + 1;
    m_place.prefix = prefix;
    m_inText = true;
    m_escape = false;
    m_text.clear();
    m_textStart = quote + 1;
    bool raw = prefixLength > 0 && prefix[prefixLength - 1] == 'R';
    m_textMayHoldNul = raw;  // a raw string's body is not searched for NULs
    if (raw) {
        m_state = kRawDelimiter;
        m_delimiterLength = 0;
    } else {
        m_state = kString;
    }
}

// Reports the literal whose text is m_text and, unless `textEnd` is null, the current block's
// bytes from m_textStart to `textEnd`.
TOLVEK_ALWAYS_INLINE void CppLiteralScanner::CloseLiteral(const char* textEnd, uint64_t storedEnd)
{
    m_inText = false;
    const char* text = m_text.data();
    size_t length = m_text.size();
    if (textEnd != nullptr && m_text.empty()) {
        text = m_textStart;
        length = static_cast<size_t>(textEnd - m_textStart);
    } else if (textEnd != nullptr) {
        AppendText(m_textStart, textEnd);
        text = m_text.data();
        length = m_text.size();
    }
    m_place.length = storedEnd - m_place.offset;
    if (m_place.line != m_countedLine) {
        m_countedLine = m_place.line;
        if (!m_sink.OnDelimiterLine()) {
            m_stopped = true;
            return;
        }
    }
    if (PassesCondition(text, length)) {
        m_closedText = LiteralText{nullptr, text, length, m_textMayHoldNul};
        m_sink.OnLiteral(m_place, m_closedText);
    }
    m_text.clear();
}

bool CppLiteralScanner::PassesCondition(const char* text, size_t length) const
{
    if (m_condition != STRFLG_SINGLE_BYTE_ONLY && m_condition != STRFLG_HAS_DOUBLE_BYTE) {
        return true;
    }
    bool doubleByte = false;
    if (m_utf8) {
        doubleByte = HasWideCharacter(text, length);
    } else {
        for (size_t at = 0; at < length && !doubleByte; ++at) {
            doubleByte = m_lead[static_cast<unsigned char>(text[at])];
        }
    }
    return m_condition == STRFLG_HAS_DOUBLE_BYTE ? doubleByte : !doubleByte;
}

// Keeps what the next block needs of this one: the open text, the last bytes of code with their
// stored offsets, and where the line began.
void CppLiteralScanner::EndBlock(const char* end)
{
    if (end == m_at.blockBegin) {
        return;
    }
    if (m_state == kCode || m_state == kSlash) {
        const char* from = CodeFrom();
        size_t inBlock = static_cast<size_t>(end - from);
        size_t keep = inBlock < kTailBytes ? inBlock : kTailBytes;
        size_t old = m_codeStart == nullptr ? m_tailCount : 0;
        if (old + keep > kTailBytes) {
            size_t drop = old + keep - kTailBytes;
            std::memmove(m_tail, m_tail + drop, old - drop);
            std::memmove(m_tailStored, m_tailStored + drop, (old - drop) * sizeof m_tailStored[0]);
            m_tailMore = true;
            old -= drop;
        } else if (m_codeStart != nullptr) {
            m_tailMore = false;
        }
        m_tailMore = m_tailMore || inBlock > kTailBytes;
        for (size_t at = 0; at < keep; ++at) {
            const char* byte = end - keep + at;
            m_tail[old + at] = static_cast<unsigned char>(*byte);
            m_tailStored[old + at] = m_at.Stored(byte);
        }
        m_tailCount = old + keep;
    }
    KeepLineHead(end);
    if (m_inText && m_textStart != nullptr && m_state != kRawDelimiter) {
        AppendText(m_textStart, end);
    }
    m_textStart = nullptr;
    m_at.EndBlock(end);
}

// Keeps the current line's first bytes, for a header name after the block.
void CppLiteralScanner::KeepLineHead(const char* end)
{
    const char* from = m_at.blockBegin;
    if (m_at.lineStartFed >= m_at.fedBase) {
        from = m_at.blockBegin + (m_at.lineStartFed - m_at.fedBase);
        m_lineHeadLength = 0;
    }
    for (; from < end && m_lineHeadLength < kLineHeadBytes; ++from) {
        m_lineHead[m_lineHeadLength++] = *from;
    }
}

void CppLiteralScanner::Finish()
{
    if (m_quotePending && !m_stopped) {
        m_quotePending = false;
        m_text.pop_back();
        CloseLiteral(nullptr, m_at.lastBlockEnd);
    }
    m_text.clear();
    m_inText = false;
}
