// Feeds arbitrary translation files and tokens to their readers: nothing may crash; a PO or XLIFF
// file that reads writes back into one that reads as the same units; a literal's value, written
// back into its token, reads as the same value.
#include "engine/CsvTranslations.h"
#include "engine/LiteralCodec.h"
#include "engine/PoFile.h"
#include "engine/XliffFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

bool SameUnits(const std::vector<TranslationUnit>& left, const std::vector<TranslationUnit>& right)
{
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t index = 0; index < left.size(); ++index) {
        if (left[index].source != right[index].source || left[index].written != right[index].written ||
            left[index].places.size() != right[index].places.size()) {
            return false;
        }
        for (size_t place = 0; place < left[index].places.size(); ++place) {
            if (DescribePlace(left[index].places[place]) != DescribePlace(right[index].places[place])) {
                return false;
            }
        }
    }
    return true;
}

void FilesReadBack(const std::string& bytes, bool xliff)
{
    std::vector<TranslationUnit> units;
    std::string error;
    bool read = xliff ? ReadXliffFile(bytes, units, error) : ReadPoFile(bytes, units, error);
    if (!read) {
        Require(!error.empty());
        return;
    }
    std::string written = xliff ? WriteXliffFile(units, "fuzz", "fuzz") : WritePoFile(units, "fuzz");
    std::vector<TranslationUnit> again;
    Require(xliff ? ReadXliffFile(written, again, error) : ReadPoFile(written, again, error));
    Require(SameUnits(units, again));
}

void ValuesWriteBack(const std::string& bytes, unsigned char how)
{
    static const SourceEncoding kEncodings[] = {SourceEncoding::Cp932, SourceEncoding::Utf8,
                                              SourceEncoding::Utf16Le, SourceEncoding::Utf16Be,
                                              SourceEncoding::SingleByte};
    SourceEncoding encoding = kEncodings[how % 5];
    bool pairs = (how & 0x08) != 0;
    bool resourceScript = (how & 0x10) != 0;
    LiteralToken token;
    if (!ParseLiteralToken(bytes, encoding, pairs, resourceScript, token)) {
        return;
    }
    WrittenText(token);
    std::u32string value;
    if (!DecodeLiteralValue(token, value)) {
        return;
    }
    std::string text;
    std::string why;
    if (!EncodeLiteralText(token, value, false, U"\n", text, why)) {
        Require(!why.empty());
        return;
    }
    LiteralToken again;
    std::u32string valueAgain;
    Require(ParseLiteralToken(ReplaceTokenText(bytes, token, text), encoding, pairs, resourceScript,
                              again));
    Require(DecodeLiteralValue(again, valueAgain) && valueAgain == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        FilesReadBack(bytes, false);
        break;
    case 1:
        FilesReadBack(bytes, true);
        break;
    case 2: {
        std::vector<TranslationUnit> units;
        std::string error;
        ReadCsvTranslations(bytes, units, error);
        break;
    }
    default:
        ValuesWriteBack(bytes, static_cast<unsigned char>(data[0] >> 2));
        break;
    }
    return 0;
}
