#pragma once

#include "engine/LiteralScanner.h"
#include "engine/Syntax.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Finds the string-literal tokens of C, C++ or a resource script in a stream of text (CR LF
// already read as LF), in one pass over the same blocks as LiteralScanner:
// - nothing in comments (// runs on over a backslash-newline), character literals, or the header
//   name of #include, #include_next and #import; a digit separator (1'000) opens nothing in C++;
// - the text is what stands between the quotes, escapes as written, backslash-newlines removed;
//   a raw string's text is what stands between d( and )d, each line break written as \n;
// - a quote or apostrophe without its partner on the line opens nothing; an unterminated comment
//   or raw string runs to the end of the file;
// - a lead byte and the byte after it (unless that is a line feed) are one character, never a
//   quote, backslash or comment mark;
// - in a resource script a doubled quote inside a literal is part of its text.
// The sink's OnDelimiterLine is called for each line on which a reported token begins.
class CppLiteralScanner {
public:
    CppLiteralScanner(const ScanSettings& settings, SourceKind kind, LiteralSink& sink);

    void ReadAsUtf8();
    // As LiteralScanner::SetStoredOffsets.
    void SetStoredOffsets(const StoredOffsets& offsets, bool places)
    {
        m_at.offsets = &offsets;
        m_at.places = places;
    }
    bool Feed(const char* begin, const char* end);
    void Finish();

private:
    enum State : unsigned char {
        kCode, kSlash, kLineComment, kBlockComment, kString, kChar, kRawDelimiter, kRawBody,
        kRawClose, kHeaderString, kSkipLine, kStateCount
    };
    static const size_t kTailBytes = 16;
    static const size_t kLineHeadBytes = 64;

    void ReadLeadBytes();
    const char* Step(const char* p, const char* end);
    const char* AfterBlockEnd(const char* p);
    const char* Backslash(const char* p, const char* end);
    const char* Code(const char* p, const char* end);
    const char* AfterSlash(const char* p);
    const char* LineComment(const char* p, const char* end);
    const char* BlockComment(const char* p, const char* end);
    const char* Quoted(const char* p, const char* end);
    bool IsPlainEscape(const char* p, const char* end) const;
    const char* RawDelimiter(const char* p);
    const char* RawBody(const char* p, const char* end);
    const char* RawClose(const char* p);
    const char* FindStopCountingLines(const char* p, const char* end, StopCountingSearch search,
                                      const StopBytes& stops);
    bool IsHeaderName(const char* quote) const;
    // The quick tests before IsHeaderName, as most quotes fail them: only the directive's last
    // letter stands before a header name's quote, blanks aside, and its line, where it begins in
    // this block, begins with blanks and a #.
    bool MayFollowDirective(const char* quote) const
    {
        const char* name = quote;
        while (name > m_at.blockBegin && (name[-1] == ' ' || name[-1] == '\t')) {
            --name;
        }
        if (name == m_at.blockBegin) {
            return true;
        }
        if (name[-1] != 'e' && name[-1] != 't') {
            return false;
        }
        if (m_at.lineStartFed < m_at.fedBase) {
            return true;
        }
        const char* first = m_at.blockBegin + (m_at.lineStartFed - m_at.fedBase);
        while (first < quote && (*first == ' ' || *first == '\t')) {
            ++first;
        }
        return *first == '#';
    }
    bool StartsACharacter(const char* p, const char* at) const;
    const char* LineCommentToBlockEnd(const char* p, const char* end);
    void KeepLineHead(const char* end);
    const char* HeaderString(const char* p, const char* end);
    const char* SkipLine(const char* p, const char* end);
    // Skips the bytes that change nothing in `state`, whole double-byte characters included.
    const char* Skip(const char* p, const char* end, State state);
    const char* TakeLead(const char* p, const char* end);
    void LineFeed(const char* at);

    const char* PrefixBefore(const char* quote) const;
    void OpenLiteral(const char* quote);
    bool IsDigitSeparator(const char* apostrophe) const;
    size_t Before(const char* at, unsigned char* bytes, bool& more) const;
    const char* PrefixStart(const char* quote, size_t prefixLength) const;
    // Where the code being read began in this block: where it was entered, or the block's start.
    const char* CodeFrom() const { return m_codeStart != nullptr ? m_codeStart : m_at.blockBegin; }
    void EnterCode(const char* at) { m_state = kCode; m_codeStart = at; m_tailCount = 0; m_tailMore = false; }
    void CloseLiteral(const char* textEnd, uint64_t storedEnd);
    void AppendText(const char* begin, const char* end) { m_text.append(begin, end); }
    bool PassesCondition(const char* text, size_t length) const;

    void EndBlock(const char* end);

    LiteralSink& m_sink;
    SourceKind m_kind;
    int32_t m_condition;
    bool m_utf8 = false;
    bool m_lead[256];
    StopBytes m_stops[kStateCount];
    // The searches in code and in /* */ comments, each made for its stop bytes, and what the last
    // one counted on its way: held here, not on the stack, so that the many short searches cost
    // the caller no more than the call.
    StopCountingSearch m_findInCode = nullptr;
    StopCountingSearch m_findInComment = nullptr;
    size_t m_feedsFound = 0;
    const char* m_lineFound = nullptr;
    unsigned char m_class[256];           // bits of the bytes that matter in some state
    unsigned char m_masks[kStateCount];   // the bits that end a stretch in each state

    static const SameOffsets s_sameOffsets;
    BlockPositions m_at{&s_sameOffsets};

    State m_state = kCode;
    bool m_stopped = false;
    bool m_afterLead = false;        // the next byte is the trail of a double-byte character
    bool m_backslashPending = false; // a backslash in a literal or a // comment ended the last
                                     // block: a line continuation if a line feed follows
    bool m_escape = false;           // in a literal: the next character is escaped
    bool m_starPending = false;      // a * in a /* */ comment ended the last block
    bool m_quotePending = false;     // a resource script's quote ended the last block
    int64_t m_line = 1;
    int64_t m_countedLine = 0;       // the last line told to the sink

    // Code since the last literal or comment, for the look-back at a quote or apostrophe.
    const char* m_codeStart = nullptr;       // in the current block, or null: before it
    unsigned char m_tail[kTailBytes];        // the code's last bytes in earlier blocks
    uint64_t m_tailStored[kTailBytes];
    size_t m_tailCount = 0;
    bool m_tailMore = false;                 // more code bytes precede the tail

    // The literal being read.
    LiteralPlace m_place;
    // The literal just closed, as the sink is handed it: held here rather than on the stack, so
    // that the functions that close literals set up no stack guard.
    LiteralText m_closedText;
    const char* m_textStart = nullptr;  // where its text resumes in the current block
    std::string m_text;                 // its text from earlier blocks, or with splices
    bool m_inText = false;
    bool m_textMayHoldNul = false;      // a NUL was passed in its text, or it is a raw string
    char m_delimiter[16];               // of a raw string
    size_t m_delimiterLength = 0;
    size_t m_closeMatched = 0;          // bytes of d after the ) that may close it
    size_t m_closeTextLength = 0;       // the text's length up to that )
    char m_lineHead[kLineHeadBytes];     // the current line's first bytes in earlier blocks
    size_t m_lineHeadLength = 0;
};
