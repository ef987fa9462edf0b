#include "engine/SourceEncoding.h"

#include "platform/CodePage.h"

SourceEncoding CodePageEncoding()
{
    return GetCodePage() == kCodePageShiftJis ? SourceEncoding::Cp932 : SourceEncoding::SingleByte;
}

const char* EncodingName(SourceEncoding encoding)
{
    switch (encoding) {
    case SourceEncoding::Cp932:
        return "cp932";
    case SourceEncoding::Utf8:
        return "utf-8";
    case SourceEncoding::Utf16Le:
        return "utf-16le";
    case SourceEncoding::Utf16Be:
        return "utf-16be";
    default:
        return "single";
    }
}

bool EncodingByName(const std::string& name, SourceEncoding& encoding)
{
    static const SourceEncoding kAll[] = {SourceEncoding::Cp932, SourceEncoding::Utf8, SourceEncoding::Utf16Le,
                                          SourceEncoding::Utf16Be, SourceEncoding::SingleByte};
    for (SourceEncoding candidate : kAll) {
        if (name == EncodingName(candidate)) {
            encoding = candidate;
            return true;
        }
    }
    return false;
}
