#include "engine/LiteralScanner.h"

#include "platform/ByteSearch.h"
#include "platform/CodePage.h"
#include "platform/Inline.h"
#include "engine/Conditions.h"
#include "engine/Utf8.h"

#include <cstring>

namespace {

// kHigh: a byte of a UTF-8 character of several bytes; plain, but the text holding it may hold a
// double-byte character.
enum ByteClass : unsigned char { kPlain, kLineFeed, kNul, kLead, kBackslash, kDelimiter, kHigh };

// True when the UTF-8 text holds a character that Shift_JIS writes with two bytes: one that is
// neither ASCII nor half-width katakana (U+FF61 to U+FF9F). A byte that is no character counts.
bool HasWideCharacter(const LiteralText& text)
{
    bool wide = false;
    Utf8Decoder decoder;
    auto look = [&wide](uint32_t character, const unsigned char*, size_t) {
        wide = wide || (character >= 0x80 && (character < 0xFF61 || character > 0xFF9F));
    };
    text.ForEachPiece([&](const char* piece, size_t size) { decoder.Feed(piece, size, look); });
    decoder.Finish(look);
    return wide;
}

// The marks of the bytes from `first` on; none when `first` lies past the window's 64 bytes.
uint64_t ClearBelow(int first) { return first < 64 ? ~uint64_t{0} << first : 0; }

// A run of lead bytes, or of backslashes that are no trail, alternates from its first a byte that
// takes the next and a byte taken. Where `runs` marks such runs, marks the byte after each run of
// odd length: taken by the run's last byte. The run that ends the 64 bytes has no such byte here.
uint64_t TakenAfterRuns(uint64_t runs)
{
    const uint64_t evenBits = 0x5555555555555555;
    uint64_t starts = runs & ~(runs << 1);
    // Adding a run's first bit to it carries past its end: at an odd distance from an even start
    // or an even distance from an odd start, when the run is of odd length.
    uint64_t endsFromEven = (runs + (starts & evenBits)) & ~runs;
    uint64_t endsFromOdd = (runs + (starts & ~evenBits)) & ~runs;
    return (endsFromEven & ~evenBits) | (endsFromOdd & evenBits);
}

// Whether a run of `runs` holds the last of the 64 bytes and is of odd length.
bool RunEndingLastIsOdd(uint64_t runs)
{
    int length = ~runs == 0 ? 64 : __builtin_clzll(~runs);
    return length % 2 != 0;
}

}  // namespace

const SameOffsets LiteralScanner::s_sameOffsets;

ScanSettings MakeScanSettings(const char* token, int32_t condition, int32_t syntax)
{
    ScanSettings settings{};
    if (token == nullptr || token[0] == '\0') {
        token = "\"";
    }
    std::strncpy(settings.delimiter, token, sizeof settings.delimiter - 1);
    settings.condition = condition;
    settings.syntax = syntax;
    return settings;
}

LiteralScanner::~LiteralScanner() { ClearSpilled(); }

LiteralScanner::LiteralScanner(const ScanSettings& settings, LiteralSink& sink)
    : m_sink(sink),
      m_condition(settings.condition),
      m_conditionOnWidth(m_condition == STRFLG_SINGLE_BYTE_ONLY || m_condition == STRFLG_HAS_DOUBLE_BYTE)
{
    std::memcpy(m_delimiter, settings.delimiter, sizeof m_delimiter);
    m_delimiter[sizeof m_delimiter - 1] = '\0';
    m_delimiterLength = std::strlen(m_delimiter);
    ClassifyBytes();
}

void LiteralScanner::ReadAsUtf8()
{
    m_utf8 = true;
    ClassifyBytes();
}

void LiteralScanner::ClassifyBytes()
{
    // Lead bytes come first: they are never taken as a delimiter or a backslash. Nor is a byte
    // of a UTF-8 character of several bytes.
    bool escapes = std::strchr(m_delimiter, '\\') == nullptr;
    const LeadByteTable& table = GetLeadByteTable();
    const bool* isLead = table.isLead;
    // Set up for each file: loops without a test inside, which the compiler widens.
    if (m_utf8) {
        std::memset(m_class, kPlain, 0x80);
        std::memset(m_class + 0x80, kHigh, 0x80);
    } else {
        for (int byte = 0; byte < 256; ++byte) {
            m_class[byte] = static_cast<unsigned char>(isLead[byte] * kLead);  // kPlain is 0
        }
    }
    for (size_t index = 0; index < m_delimiterLength; ++index) {
        unsigned char byte = static_cast<unsigned char>(m_delimiter[index]);
        if (m_class[byte] == kPlain) {
            m_class[byte] = kDelimiter;
        }
    }
    if (escapes && m_class[static_cast<unsigned char>('\\')] == kPlain) {
        m_class[static_cast<unsigned char>('\\')] = kBackslash;
    }
    m_class[static_cast<unsigned char>('\n')] = kLineFeed;
    m_class[0] = kNul;

    // The stop bytes of SkipPlainBytes: the line feed, NUL, the delimiter, the backslash, and the
    // high half when the code page has lead bytes (or the delimiter lies there).
    m_stopBytes = StopBytes{{'\n', 0, static_cast<unsigned char>(m_delimiter[0]), '\\'},
                            escapes ? 4 : 3, false};
    for (int byte = 0x80; byte < 256 && !m_stopBytes.highBytes; ++byte) {
        m_stopBytes.highBytes = m_class[byte] != kPlain;
    }
    unsigned char first = static_cast<unsigned char>(m_delimiter[0]);
    m_markedLines = kMarksPay && m_delimiterLength == 1 && m_class[first] == kDelimiter &&
                    first < 0x80 && m_class[static_cast<unsigned char>('\\')] == kBackslash;
    // The marks tell the lead bytes where they make up to two ranges; a window that holds any
    // is walked otherwise.
    m_leadsMarked = m_utf8 || table.inRanges;
    m_marked = MarkedBytes{first, {0, 0}, {0, 0}};
    if (!m_utf8 && table.inRanges) {
        m_marked = MarkedBytes{first, {table.rangeFirst[0], table.rangeFirst[1]},
                               {table.rangeLast[0], table.rangeLast[1]}};
    }
}

bool LiteralScanner::Feed(const char* p, const char* end)
{
    m_at.blockBegin = p;
    if (m_inText) {
        m_textBegin = p;  // an open text goes on from the last block's pieces
    }
    while (p < end && !m_stopped) {
        if (m_atLineStart) {
            p = SkipLinesWithoutDelimiter(p, end);
            if (p == end) {
                break;
            }
        }
        // A line that runs across blocks goes on by its marks too, unless a NUL hides its rest.
        bool marked = m_markedLines && !m_hidden && end - p >= 64;
        p = marked ? ScanMarkedLine(p, end) : ScanLine(p, end);
    }
    m_at.EndBlock(end);
    return !m_stopped;
}

uint64_t LiteralScanner::StoredEndBefore(const char* at) const
{
    return at > m_at.blockBegin ? m_at.StoredEnd(at - 1) : m_at.lastBlockEnd;
}

// A line without the delimiter's first byte cannot contain the delimiter: it yields nothing and
// only its line feed counts. Returns the start of the first line that needs a closer look, or
// of the unterminated line at the end of the block.
const char* LiteralScanner::SkipLinesWithoutDelimiter(const char* p, const char* end)
{
    m_lineFeeds = 0;
    const char* lineStart = m_lineSearches.find(p, end, m_delimiter[0], m_lineFeeds);
    m_line += static_cast<int64_t>(m_lineFeeds);
    if (m_lineFeeds > 0) {
        m_at.lineStartFed = m_at.Fed(lineStart);
    }
    return lineStart;
}

// Scans the rest of one line, up to and including its line feed, or up to the end of the block.
const char* LiteralScanner::ScanLine(const char* p, const char* end)
{
    m_atLineStart = false;
    // With a one-byte delimiter, a plain byte at the start of a character changes nothing.
    const bool skipPlain = m_delimiterLength == 1;
    // Nor does a whole double-byte character, unless the delimiter itself is a lead byte.
    const bool skipDoubleByte =
        skipPlain && m_class[static_cast<unsigned char>(m_delimiter[0])] == kDelimiter;
    while (p < end) {
        if (m_stopped) {
            return end;
        }
        if (m_hidden) {
            const void* lineFeed = std::memchr(p, '\n', static_cast<size_t>(end - p));
            if (lineFeed == nullptr) {
                return end;
            }
            ResetLine(static_cast<const char*>(lineFeed) + 1);
            return static_cast<const char*>(lineFeed) + 1;
        }
        if (skipPlain && m_charState == kAtCharStart) {
            p = skipDoubleByte ? SkipOrdinaryCharacters(p, end) : SkipPlainBytes(p, end);
            if (p == end) {
                break;
            }
        }
        const char* at = p++;
        unsigned char byte = static_cast<unsigned char>(*at);
        unsigned char byteClass = m_class[byte];
        if (m_charState != kAtCharStart && byteClass != kLineFeed && byteClass != kNul) {
            TakeFollowingByte(byte);
            continue;
        }
        m_charState = kAtCharStart;
        switch (byteClass) {
        case kPlain:
            Match(byte, true);
            break;
        case kLineFeed:
            // A text still open runs to the line feed: it is not taken.
            ResetLine(p);
            return p;
        case kNul:
            HideRestOfLine(at);
            break;
        case kLead:
            Match(byte, true);
            m_charState = kAfterLead;
            m_textHasLead = true;
            break;
        case kBackslash:
            Match(byte, true);
            m_charState = kAfterBackslash;
            break;
        case kDelimiter:
            Match(byte, true);
            ToggleText(at);
            break;
        case kHigh:
            Match(byte, true);
            m_textHasLead = true;
            break;
        }
    }
    if (m_inText) {
        SpillText(m_textBegin, end);
    }
    return end;
}

// A line read by the marks of its bytes, 64 at a time, from its start or from where the last
// block left it. Between the bytes that matter (the delimiter, backslashes, and the high half
// where it holds lead bytes or UTF-8) nothing is walked; those are taken as ScanLine takes them.
// Goes on to the line feed, or to a NUL, which hides the rest of the line, or to where fewer than
// 64 bytes are left in the block. Returns where the scan goes on.
const char* LiteralScanner::ScanMarkedLine(const char* p, const char* end)
{
    m_atLineStart = false;
    LineBytes& marks = m_marks;
    for (; end - p >= 64; p += 64) {
        m_lineSearches.mark(p, m_marked, marks);
        uint64_t stops = marks.lineFeeds | marks.nuls;
        int limit = stops != 0 ? LowestMarkedByte(stops) : 64;
        uint64_t before = limit == 64 ? ~uint64_t{0} : (uint64_t{1} << limit) - 1;
        uint64_t todo = (marks.delimiters | marks.backslashes | (m_stopBytes.highBytes ? marks.highs : 0)) & before;
        int next = TakeCharacterAfter(p, 0, limit);  // what the last window left open
        if (next < 64) {
            todo = TakeWindowByRuns(p, todo & ClearBelow(next), marks, next, limit);
        }
        for (todo &= ClearBelow(next); todo != 0 && !m_stopped; todo &= ClearBelow(next)) {
            next = TakeMarkedByte(p, LowestMarkedByte(todo), limit);
        }
        if (m_stopped) {
            return end;
        }
        if (limit < 64) {
            if (p[limit] == '\0') {
                HideRestOfLine(p + limit);
            } else {
                ResetLine(p + limit + 1);
            }
            return p + limit + 1;
        }
    }
    if (p == end && m_inText) {
        SpillText(m_textBegin, end);
    }
    return p;
}

// A window whose lead bytes the marks tell, from `next` (a character start) to `limit`: which
// bytes a lead byte or a backslash takes follows from the runs they make. A lead byte at the
// start of a character or after a backslash takes the next byte alike, so the lead bytes' runs
// tell their trails whatever backslashes stand between them; the backslashes that are no trail
// then tell what they escape. Takes the delimiters, each opening or closing a text, and what lies
// between them in one step. Returns the marks left for TakeMarkedByte: none, or all of `todo`
// when the marks do not tell the lead bytes.
TOLVEK_ALWAYS_INLINE uint64_t LiteralScanner::TakeWindowByRuns(const char* window, uint64_t todo,
                                                               const LineBytes& marks, int next,
                                                               int limit)
{
    uint64_t highs = todo & marks.highs;
    if (!m_leadsMarked && highs != 0) {
        return todo;
    }
    uint64_t leads = todo & marks.leads;
    uint64_t trails = leads != 0 ? TakenAfterRuns(leads) : 0;
    uint64_t backslashes = todo & marks.backslashes & ~trails;
    uint64_t escaped = backslashes != 0 ? TakenAfterRuns(backslashes) : 0;
    // A lead byte's trail is no delimiter at all; an escaped delimiter still counts for the line.
    uint64_t delimiters = todo & marks.delimiters & ~trails;
    if (delimiters != 0 && !m_contained) {
        EstablishDelimiterLine();  // the delimiter is one byte: found whole
    }
    // A text holds a double-byte character when it holds a lead byte, as a trail byte's lead
    // byte lies in the same text; in UTF-8, any byte of the high half. Only a condition asks.
    const uint64_t wide = !m_conditionOnWidth ? 0 : m_utf8 ? highs : leads;
    delimiters &= ~escaped;
    if (wide == 0) {
        for (; delimiters != 0 && !m_stopped; delimiters &= delimiters - 1) {
            ToggleText(window + LowestMarkedByte(delimiters));
        }
    } else {
        int from = next;
        for (; delimiters != 0 && !m_stopped; delimiters &= delimiters - 1) {
            int at = LowestMarkedByte(delimiters);
            m_textHasLead = m_textHasLead || (m_inText && (wide & ClearBelow(from) & ~ClearBelow(at)) != 0);
            ToggleText(window + at);
            from = at + 1;
        }
        m_textHasLead = m_textHasLead || (m_inText && (wide & ClearBelow(from)) != 0);
    }
    // A run of odd length that ends the window leaves what its last byte takes to the next one.
    if (limit == 64 && RunEndingLastIsOdd(leads)) {
        m_charState = kAfterLead;
    } else if (limit == 64 && RunEndingLastIsOdd(backslashes)) {
        m_charState = kAfterBackslash;
    }
    return 0;
}

// The byte at `at`, which is not the trail of a character nor escaped, is one that matters.
// Returns the first byte after it that the marks must not take as a character start.
int LiteralScanner::TakeMarkedByte(const char* window, int at, int limit)
{
    unsigned char byte = static_cast<unsigned char>(window[at]);
    switch (m_class[byte]) {
    case kDelimiter:
        Match(byte, true);
        ToggleText(window + at);
        return at + 1;
    case kBackslash:
        m_charState = kAfterBackslash;
        return TakeCharacterAfter(window, at + 1, limit);
    case kLead:
    case kHigh:
        m_textHasLead = true;
        return TakeHighCharacters(window, at, limit);
    default:
        return at + 1;
    }
}

// From the start of a character of the high half, that character and those of the high half
// right after it, in one walk: Japanese texts hold runs of them, and most of their trail bytes
// are marked too. A lead byte whose trail lies past the window or at the line's end is left to
// m_charState. Returns the first byte after them, which begins a character.
int LiteralScanner::TakeHighCharacters(const char* window, int at, int limit)
{
    while (at < limit) {
        unsigned char byteClass = m_class[static_cast<unsigned char>(window[at])];
        if (byteClass == kHigh) {
            ++at;
        } else if (byteClass != kLead) {
            return at;
        } else if (at + 1 < limit) {
            at += 2;
        } else {
            m_charState = kAfterLead;
            return at + 1;
        }
    }
    return at;
}

// The byte at `at` follows a backslash or a lead byte (as m_charState says), or begins a
// character. Takes it as ScanLine does, unless it lies past the window or at the line's end:
// then m_charState keeps it for the next window, or for ScanLine. Returns the first byte that
// may begin a character after it.
int LiteralScanner::TakeCharacterAfter(const char* window, int at, int limit)
{
    if (m_charState == kAtCharStart || at >= limit) {
        return at;
    }
    TakeFollowingByte(static_cast<unsigned char>(window[at]));
    return m_charState == kAfterLead ? TakeCharacterAfter(window, at + 1, limit) : at + 1;
}

// The trail byte of a double-byte character, or the character after a backslash (as m_charState
// says); neither a line feed nor a NUL, which end the line whatever came before.
void LiteralScanner::TakeFollowingByte(unsigned char byte)
{
    unsigned char byteClass = m_class[byte];
    bool charStart = m_charState == kAfterBackslash;
    m_charState = charStart && byteClass == kLead ? kAfterLead : kAtCharStart;
    m_textHasLead = m_textHasLead || (charStart && (byteClass == kLead || byteClass == kHigh));
    Match(byte, charStart);
}

// Inside delimiter lines most stretches are short: a table look-up per byte serves them best.
// Longer ones go to the block search, whose stop bytes are every byte that is not plain and a
// few plain ones (bytes of 0x80 and above that are not lead bytes), then taken one at a time.
const char* LiteralScanner::SkipPlainBytes(const char* p, const char* end) const
{
    const char* shortEnd = end - p > 32 ? p + 32 : end;
    for (; p < shortEnd; ++p) {
        if (m_class[static_cast<unsigned char>(*p)] != kPlain) {
            return p;
        }
    }
    return p == end ? end : FindStopByte(p, end, m_stopBytes);
}

// Plain bytes and whole double-byte characters (both bytes in the block, the second not a line
// end): a text that holds them remembers that it has a lead byte.
TOLVEK_ALWAYS_INLINE const char* LiteralScanner::SkipOrdinaryCharacters(const char* p, const char* end)
{
    for (;;) {
        p = SkipPlainBytes(p, end);
        if (p == end || m_class[static_cast<unsigned char>(*p)] != kLead || end - p < 2 ||
            p[1] == '\n' || p[1] == '\0') {
            return p;
        }
        m_textHasLead = true;
        // Japanese texts hold runs of double-byte characters: read them on here.
        do {
            p += 2;
        } while (end - p >= 2 && m_class[static_cast<unsigned char>(*p)] == kLead && p[1] != '\n' &&
                 p[1] != '\0');
    }
}

void LiteralScanner::MatchSlow(unsigned char byte, bool charStart)
{
    const unsigned char* delimiter = reinterpret_cast<const unsigned char*>(m_delimiter);
    if (m_delimiterLength == 1) {
        if (charStart && byte == delimiter[0]) {
            EstablishDelimiterLine();
        }
        return;
    }
    uint32_t next = 0;
    for (size_t matched = 1; matched < m_delimiterLength; ++matched) {
        if ((m_partialMatches & (1u << matched)) != 0 && delimiter[matched] == byte) {
            next |= 1u << (matched + 1);
        }
    }
    if (charStart && delimiter[0] == byte) {
        next |= 1u << 1;
    }
    m_partialMatches = next;
    if ((next & (1u << m_delimiterLength)) != 0) {
        EstablishDelimiterLine();
    }
}

void LiteralScanner::EstablishDelimiterLine()
{
    m_contained = true;
    if (!m_sink.OnDelimiterLine()) {
        m_stopped = true;
        return;
    }
    if (!m_pendingTexts.empty()) {
        EmitPendingTexts();
    }
}

// The texts kept before a delimiter of several bytes was found whole in their line.
void LiteralScanner::EmitPendingTexts()
{
    for (size_t at = 0; at < m_pendingTexts.size();) {
        LiteralPlace place;
        std::memcpy(&place, m_pendingTexts.data() + at, sizeof place);
        at += sizeof place;
        LiteralText text;
        text.mayHoldNul = false;
        std::memcpy(&text.lastLength, m_pendingTexts.data() + at, sizeof text.lastLength);
        at += sizeof text.lastLength;
        text.last = m_pendingTexts.data() + at;
        m_sink.OnLiteral(place, text);
        at += text.lastLength;
    }
    m_pendingTexts.clear();
}

TOLVEK_ALWAYS_INLINE void LiteralScanner::ToggleText(const char* at)
{
    if (m_inText) {
        CloseText(at, m_at.StoredEnd(at));
        return;
    }
    m_inText = true;
    m_textPlace.line = m_line;
    m_textPlace.offset = m_at.Stored(at);
    m_textPlace.column = static_cast<int64_t>(m_textPlace.offset - m_at.LineStartStored()) + 1;
    m_textHasLead = false;
    m_textBegin = at + 1;
    ClearSpilled();
}

void LiteralScanner::CloseText(const char* at, uint64_t storedEnd)
{
    m_inText = false;
    m_closedText = LiteralText{&m_spilled, m_textBegin, static_cast<size_t>(at - m_textBegin), false};
    EmitText(storedEnd);
    ClearSpilled();
}

// Keeps the part of the open text that lies in the block ending at `end`. Parts of small blocks
// join the last piece; a block's worth starts a piece of its own, so that the pieces together
// take little more memory than the text.
void LiteralScanner::SpillText(const char* begin, const char* end)
{
    const size_t kPieceBytes = 64 * 1024;
    m_spilledBytes += static_cast<size_t>(end - begin);
    if (m_gate != nullptr && !m_gateHeld && m_spilledBytes > kFreelyHeldBytes) {
        m_gate->Acquire();
        m_gateHeld = true;
    }
    if (!m_spilled.empty() && m_spilled.back().size() < kPieceBytes) {
        m_spilled.back().append(begin, end);
    } else if (begin != end) {
        m_spilled.emplace_back(begin, end);
    }
}

void LiteralScanner::ClearSpilled()
{
    m_spilled.clear();
    m_spilledBytes = 0;
    if (m_gateHeld) {
        m_gateHeld = false;
        m_gate->Release();
    }
}

// Hands the text just closed, which ends before `storedEnd`, to the sink, or keeps it until the
// line is known to contain the delimiter.
void LiteralScanner::EmitText(uint64_t storedEnd)
{
    const LiteralText& text = m_closedText;
    if (text.Length() == 0 || !PassesCondition(text)) {
        return;
    }
    m_textPlace.length = storedEnd - m_textPlace.offset;
    if (m_contained) {
        m_sink.OnLiteral(m_textPlace, text);
        return;
    }
    KeepPendingText();
}

void LiteralScanner::KeepPendingText()
{
    size_t length = m_closedText.Length();
    m_pendingTexts.append(reinterpret_cast<const char*>(&m_textPlace), sizeof m_textPlace);
    m_pendingTexts.append(reinterpret_cast<const char*>(&length), sizeof length);
    m_closedText.ForEachPiece([this](const char* piece, size_t size) { m_pendingTexts.append(piece, size); });
}

bool LiteralScanner::PassesCondition(const LiteralText& text) const
{
    if (!m_conditionOnWidth) {
        return true;
    }
    bool doubleByte = m_textHasLead && (!m_utf8 || HasWideCharacter(text));
    return m_condition == STRFLG_HAS_DOUBLE_BYTE ? doubleByte : !doubleByte;
}

// A NUL at `at` hides the rest of the line: a text still open ends there.
void LiteralScanner::HideRestOfLine(const char* at)
{
    if (m_inText) {
        CloseText(at, StoredEndBefore(at));
    }
    m_hidden = true;
}

void LiteralScanner::ResetLine(const char* nextLine)
{
    m_at.lineStartFed = m_at.Fed(nextLine);
    m_inText = false;
    ClearSpilled();
    m_pendingTexts.clear();
    m_hidden = false;
    m_contained = false;
    m_charState = kAtCharStart;
    m_partialMatches = 0;
    ++m_line;
    m_atLineStart = true;
}

void LiteralScanner::Finish()
{
    // The last line had no line feed: a text still open at its end is taken.
    if (!m_stopped && m_inText) {
        m_inText = false;
        m_closedText = LiteralText{&m_spilled, nullptr, 0, false};
        EmitText(m_at.lastBlockEnd);
    }
    ClearSpilled();
    m_pendingTexts.clear();
}
