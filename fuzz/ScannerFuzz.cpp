// Feeds arbitrary bytes, delimiters, conditions and code pages to the scanner, and checks that
// the texts it finds do not depend on how the file is cut into blocks.
#include "engine/LiteralScanner.h"
#include "engine/Utf16.h"
#include "engine/Utf8.h"
#include "platform/CodePage.h"
#include "platform/TextFile.h"
#include "tests/support/LiteralCollector.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

// Input: one byte of options, one byte of chunk size, a delimiter up to the first 0xFF byte
// (at most 15 bytes), then the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    uint8_t options = data[0];
    size_t chunk = 1 + data[1] % 17;
    const char* rest = reinterpret_cast<const char*>(data + 2);
    size_t restSize = size - 2;
    const void* mark = std::memchr(rest, 0xFF, restSize < 16 ? restSize : 16);
    size_t tokenLength = mark != nullptr ? static_cast<size_t>(static_cast<const char*>(mark) - rest) : 0;
    std::string token(rest, tokenLength);
    token = token.c_str();  // a token ends at its first NUL, like the INI value it comes from
    std::string text(rest + tokenLength + (mark != nullptr ? 1 : 0),
                     restSize - tokenLength - (mark != nullptr ? 1 : 0));

    SelectCodePage((options & 1) != 0 ? kCodePageShiftJis : kCodePageSingleByte);
    ScanSettings settings = MakeScanSettings(token.c_str(), static_cast<int32_t>((options >> 1) % 4));

    bool utf8 = (options & 8) != 0;
    std::string whole = ScanInBlocks(settings, text, 0, utf8);
    if (ScanInBlocks(settings, text, chunk, utf8) != whole) {
        std::abort();
    }

    // Whether the text is UTF-8 does not depend on how it is cut either.
    Utf8Validator once;
    once.Feed(text.data(), text.data() + text.size());
    Utf8Validator inBlocks;
    for (size_t at = 0; at < text.size(); at += chunk) {
        size_t length = text.size() - at < chunk ? text.size() - at : chunk;
        inBlocks.Feed(text.data() + at, text.data() + at + length);
    }
    if (once.Finish() != inBlocks.Finish()) {
        std::abort();
    }

    // UTF-16 converts the same whatever the blocks, within the bound it promises.
    bool bigEndian = (options & 16) != 0;
    std::string converted(Utf16ToUtf8::OutputBound(text.size()) + 8, '\0');
    Utf16ToUtf8 whole16(bigEndian);
    size_t length16 = whole16.Convert(text.data(), text.size(), &converted[0]);
    length16 += whole16.Finish(&converted[length16]);
    std::string pieces16;
    Utf16ToUtf8 inBlocks16(bigEndian);
    for (size_t at = 0; at < text.size(); at += chunk) {
        size_t length = text.size() - at < chunk ? text.size() - at : chunk;
        std::string out(Utf16ToUtf8::OutputBound(length) + 16, '\0');
        size_t wrote = inBlocks16.Convert(text.data() + at, length, &out[0]);
        if (wrote > Utf16ToUtf8::OutputBound(length)) {  // held units included
            std::abort();
        }
        pieces16.append(out.data(), wrote);
    }
    char tail[16];
    pieces16.append(tail, inBlocks16.Finish(tail));
    if (pieces16 != converted.substr(0, length16)) {
        std::abort();
    }

    // The text-mode decoding must stay inside its buffer and never grow the text.
    std::string raw = text;
    bool ended = false;
    size_t decoded = DecodeTextMode(&raw[0], raw.size(), ended);
    if (decoded > text.size()) {
        std::abort();
    }
    return 0;
}
