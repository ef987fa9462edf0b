#pragma once

// The process's multibyte code page and its lead bytes.
//
// Windows: the system's ANSI code page, selected the first time anything asks (the application
// object asks while it is being built, so before any setting is read).
// Linux: 932 whatever the locale; the command's --codepage option overrides it at start-up.

const int kCodePageShiftJis = 932;
const int kCodePageSingleByte = 1252;

// The lead bytes of Shift_JIS (code page 932), whatever code page is in force.
constexpr bool IsShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct LeadByteTable {
    int codePage;
    bool isLead[256];
    // The lead bytes as up to two ranges of the high half, first to last ({0, 0} where there is
    // none), for a search that compares ranges; `inRanges` is false when they make more than two
    // or lie below the high half.
    unsigned char rangeFirst[2];
    unsigned char rangeLast[2];
    bool inRanges;
};

// The table in force. Cheap after the first call; the scanner takes it once per file.
const LeadByteTable& GetLeadByteTable();

inline bool IsLeadByte(unsigned char byte) { return GetLeadByteTable().isLead[byte]; }
inline bool IsLeadByte(char byte) { return IsLeadByte(static_cast<unsigned char>(byte)); }

int GetCodePage();

// Switches the code page. Call before any job starts: running scans read the table unlocked.
void SelectCodePage(int codePage);

// Fills a table from the code page's lead-byte ranges as this build knows them.
void FillLeadByteTable(LeadByteTable& table, int codePage);
// Sets the table's ranges from its lead bytes.
void FindLeadRanges(LeadByteTable& table);

// The offset of the first occurrence of `sub` in `text` that begins on a character by `table`
// (never on the trail byte of a double-byte character), or -1. Both end at their first NUL.
int FindCharAligned(const char* text, const char* sub, const LeadByteTable& table);
