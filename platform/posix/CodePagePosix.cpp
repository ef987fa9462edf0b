#include "platform/CodePage.h"
#include "platform/CodePageSource.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

namespace {

// The codeset of a locale name such as ja_JP.SJIS or ja_JP.Shift_JIS@euro.
bool NamesShiftJis(const char* locale)
{
    const char* dot = std::strchr(locale, '.');
    if (dot == nullptr) {
        return false;
    }
    const char* codeset = dot + 1;
    size_t length = std::strcspn(codeset, "@");
    static const char* const kNames[] = {"SJIS", "Shift_JIS", "CP932", "Windows-31J"};
    for (const char* name : kNames) {
        if (std::strlen(name) == length && strncasecmp(codeset, name, length) == 0) {
            return true;
        }
    }
    return false;
}

// The first of LC_ALL, LC_CTYPE and LANG that is set and not empty, as the C library chooses.
const char* LocaleName()
{
    static const char* const kVariables[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    for (const char* variable : kVariables) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return "";
}

}  // namespace

int SelectInitialCodePage()
{
    return NamesShiftJis(LocaleName()) ? kCodePageShiftJis : kCodePageSingleByte;
}

void ActivateCodePage(int) {}

void FillLeadByteTable(LeadByteTable& table, int codePage)
{
    table.codePage = codePage;
    for (int byte = 0; byte < 256; ++byte) {
        table.isLead[byte] = codePage == kCodePageShiftJis &&
                             ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
    }
}
