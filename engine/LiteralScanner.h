#pragma once

#include "engine/BlockPositions.h"
#include "engine/LiteralPlace.h"
#include "engine/LiteralText.h"
#include "platform/ByteSearch.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Receives what the scanner finds in one file.
class LiteralSink {
public:
    virtual ~LiteralSink() = default;
    // The current line contains the delimiter; called once per such line, as soon as that is
    // known. Returning false stops the scan.
    virtual bool OnDelimiterLine() = 0;
    // A non-empty text that passed the extraction condition, standing at `place`.
    virtual void OnLiteral(const LiteralPlace& place, const LiteralText& text) = 0;
};

// Shares out, among the scans of one job that run at once, the memory of texts that run across
// blocks: a scan asks before one text's pieces outgrow what it holds freely, and gives back when
// the text is done with.
class HeldTextGate {
public:
    virtual ~HeldTextGate() = default;
    // Returns once the text may grow.
    virtual void Acquire() = 0;
    virtual void Release() = 0;
};

// What the scanner needs of the settings.
struct ScanSettings {
    char delimiter[16];  // 1 to 15 bytes, NUL-terminated
    int32_t condition;   // STRFLG_*; any other value keeps every text
    int32_t syntax;      // SYNTAX_*; any other value reads as SYNTAX_PAIRS
};

// The delimiter is the token's first 15 bytes, or the double quote when the token is empty.
ScanSettings MakeScanSettings(const char* token, int32_t condition, int32_t syntax = 0);

// Finds the texts between pairs of the delimiter in a stream of text (CR LF already read as LF),
// in one pass over fixed buffers; memory grows only with the longest text.
//
// - Lines are physical: everything up to and including a line feed, however long; the first
//   line is 1.
// - A line contains the delimiter when the whole delimiter occurs in it at the start of a
//   character, before any NUL byte. Only such lines are cut and counted.
// - Texts pair by position: the first and second delimiter of a line enclose a text, the third
//   and fourth the next one, and so on. Each byte of the delimiter is a delimiter.
// - A lead byte and the byte after it are one character, never a delimiter or a backslash.
// - A backslash and the character after it go together, so an escaped delimiter is not one
//   (unless the backslash is itself a delimiter). A backslash before the line feed escapes
//   nothing.
// - A text that runs to the line feed is dropped; one still open where a NUL byte hides the rest
//   of the line, or at the end of an unterminated last line, is taken. Empty texts are dropped.
// - A text that runs across blocks is kept in pieces of the blocks' size, never copied whole.
class LiteralScanner {
public:
    LiteralScanner(const ScanSettings& settings, LiteralSink& sink);
    ~LiteralScanner();
    LiteralScanner(const LiteralScanner&) = delete;
    LiteralScanner& operator=(const LiteralScanner&) = delete;

    // Asks `gate` (null: nobody) before a text held across blocks grows beyond kFreelyHeldBytes.
    void SetHeldTextGate(HeldTextGate* gate) { m_gate = gate; }
    static const size_t kFreelyHeldBytes = 256 * 1024;

    // From now on reads the bytes as UTF-8 instead of the code page: a character of several
    // bytes is one character, and a text holds a double-byte character when it holds one that is
    // neither ASCII nor half-width katakana. Call before any byte of 0x80 or above was fed.
    void ReadAsUtf8();
    // Where the fed bytes stand in the file as stored; without it they are the stored bytes.
    // `offsets` must outlive the scan. `places` is false when no record tells a text's place:
    // then no offset is worked out.
    void SetStoredOffsets(const StoredOffsets& offsets, bool places)
    {
        m_at.offsets = &offsets;
        m_at.places = places;
    }

    // Scans the next bytes of the file. False once the sink has stopped the scan.
    bool Feed(const char* begin, const char* end);
    // The end of the file.
    void Finish();

private:
    enum CharState : unsigned char { kAtCharStart, kAfterLead, kAfterBackslash };

    const char* SkipLinesWithoutDelimiter(const char* p, const char* end);
    const char* ScanLine(const char* p, const char* end);
    const char* ScanMarkedLine(const char* p, const char* end);
    uint64_t TakeWindowByRuns(const char* window, uint64_t todo, const LineBytes& marks, int next,
                              int limit);
    int TakeMarkedByte(const char* window, int at, int limit);
    int TakeCharacterAfter(const char* window, int at, int limit);
    int TakeHighCharacters(const char* window, int at, int limit);
    void TakeFollowingByte(unsigned char byte);
    const char* SkipPlainBytes(const char* p, const char* end) const;
    const char* SkipOrdinaryCharacters(const char* p, const char* end);
    // Follows the delimiter through the line until it has been found whole.
    void Match(unsigned char byte, bool charStart)
    {
        if (!m_contained) {
            MatchSlow(byte, charStart);
        }
    }
    void MatchSlow(unsigned char byte, bool charStart);
    void EstablishDelimiterLine();
    void EmitPendingTexts();
    void ToggleText(const char* at);
    void CloseText(const char* at, uint64_t storedEnd);
    void SpillText(const char* begin, const char* end);
    void ClearSpilled();
    void EmitText(uint64_t storedEnd);
    void KeepPendingText();
    bool PassesCondition(const LiteralText& text) const;
    void ClassifyBytes();
    void HideRestOfLine(const char* at);
    void ResetLine(const char* nextLine);
    // The stored offset just past the byte before `at`, which may lie in the last block.
    uint64_t StoredEndBefore(const char* at) const;

    LiteralSink& m_sink;
    unsigned char m_class[256];
    StopBytes m_stopBytes;
    char m_delimiter[16];
    size_t m_delimiterLength;
    int32_t m_condition;
    const bool m_conditionOnWidth;  // the condition asks about double-byte characters
    bool m_utf8 = false;
    bool m_markedLines = false;  // lines may be read by the marks of their bytes
    MarkedBytes m_marked{};
    const LineSearches m_lineSearches = ChosenLineSearches();
    // What the searches tell of each window and stretch, held here rather than on the stack: a
    // search's call then sets up no stack guard.
    LineBytes m_marks{};
    size_t m_lineFeeds = 0;
    bool m_leadsMarked = false;  // the marks tell the lead bytes

    static const SameOffsets s_sameOffsets;
    BlockPositions m_at{&s_sameOffsets};

    int64_t m_line = 1;
    bool m_atLineStart = true;
    bool m_stopped = false;

    // State of the current line.
    bool m_hidden = false;     // a NUL byte hides the rest of the line
    bool m_contained = false;  // the whole delimiter occurs in the line
    CharState m_charState = kAtCharStart;
    uint32_t m_partialMatches = 0;  // bit i: the last i bytes are the delimiter's first i
    bool m_inText = false;
    bool m_textHasLead = false;  // a lead byte (in UTF-8: a byte of 0x80 or above)
    const char* m_textBegin = nullptr;  // where the open text resumes in the current block
    LiteralPlace m_textPlace;            // of the open text, all but its length; of the text
                                         // just closed, its length too
    // The text just closed, as the sink is handed it. Held here rather than on the stack, as
    // are its place and length: a text's way to the sink then sets up no stack guard.
    LiteralText m_closedText;
    std::vector<std::string> m_spilled;  // the part of the open text from earlier blocks
    size_t m_spilledBytes = 0;
    HeldTextGate* m_gate = nullptr;
    bool m_gateHeld = false;
    std::string m_pendingTexts;         // texts kept before a delimiter of several bytes was
                                        // found whole in the line: place, length, then bytes
};
