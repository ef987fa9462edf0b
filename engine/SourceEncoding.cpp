#include "engine/SourceEncoding.h"

#include "platform/CodePage.h"

SourceEncoding CodePageEncoding()
{
    return GetCodePage() == kCodePageShiftJis ? SourceEncoding::Cp932 : SourceEncoding::SingleByte;
}
