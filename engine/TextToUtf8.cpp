#include "engine/TextToUtf8.h"

#include "engine/Cp932.h"
#include "engine/Utf16.h"
#include "engine/Utf8.h"
#include "platform/CodePage.h"
#include "platform/Path.h"

#include <cstring>

namespace {

// Reads Shift_JIS that comes in pieces, a character split between pieces included.
class Cp932Reader {
public:
    explicit Cp932Reader(CharacterSink& sink) : m_sink(sink) {}

    void Feed(const unsigned char* at, const unsigned char* end)
    {
        for (; at < end; ++at) {
            if (m_lead != 0) {
                Take(Cp932DoubleToUnicode(m_lead, *at));
                m_lead = 0;
            } else if (*at < 0x80) {
                m_sink.OnCharacter(*at);
            } else if (uint32_t single = Cp932SingleToUnicode(*at)) {
                m_sink.OnCharacter(single);
            } else if (IsShiftJisLeadByte(*at)) {
                m_lead = *at;
            } else {
                Take(0);
            }
        }
    }

    // A lead byte left at the end has no character.
    void Finish()
    {
        if (m_lead != 0) {
            Take(0);
        }
    }

    bool Lossless() const { return m_lossless; }

private:
    void Take(uint32_t character)
    {
        m_lossless = m_lossless && character != 0;
        m_sink.OnCharacter(character != 0 ? character : kReplacementCharacter);
    }

    CharacterSink& m_sink;
    unsigned char m_lead = 0;
    bool m_lossless = true;
};

}  // namespace

bool DecodeText(const LiteralText& text, SourceEncoding encoding, CharacterSink& sink)
{
    bool lossless = true;
    if (IsUtf16(encoding)) {
        return DecodeConvertedUtf16(text, sink);
    }
    if (encoding == SourceEncoding::Cp932) {
        Cp932Reader reader(sink);
        text.ForEachPiece([&reader](const char* piece, size_t size) {
            const unsigned char* at = reinterpret_cast<const unsigned char*>(piece);
            reader.Feed(at, at + size);
        });
        reader.Finish();
        return reader.Lossless();
    }
    if (encoding == SourceEncoding::Utf8) {
        Utf8Decoder decoder;
        auto take = [&](uint32_t character, const unsigned char*, size_t) {
            lossless = lossless && character != kNotACharacter;
            sink.OnCharacter(character != kNotACharacter ? character : kReplacementCharacter);
        };
        text.ForEachPiece([&](const char* piece, size_t size) { decoder.Feed(piece, size, take); });
        decoder.Finish(take);
        return lossless;
    }
    text.ForEachPiece([&](const char* piece, size_t size) {
        for (size_t index = 0; index < size; ++index) {
            unsigned char byte = static_cast<unsigned char>(piece[index]);
            lossless = lossless && byte < 0x80;
            sink.OnCharacter(byte < 0x80 ? byte : kReplacementCharacter);
        }
    });
    return lossless;
}

void AppendUtf8(uint32_t character, std::string& out)
{
    if (character < 0x80) {
        out += static_cast<char>(character);
    } else if (character < 0x800) {
        out += static_cast<char>(0xC0 | (character >> 6));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        out += static_cast<char>(0xE0 | (character >> 12));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (character >> 18));
        out += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    }
}

bool DecodePath(const char* path, CharacterSink& sink)
{
    // Paths whose code page has lead bytes (Windows) are in that code page. On Linux a name is
    // UTF-8 as a rule; one that is not came from elsewhere (a Japanese archive unpacked), and is
    // read in the code page that the sources are read in.
    bool codePagePaths = false;
    for (int byte = 0x81; byte <= 0xFC && !codePagePaths; ++byte) {
        codePagePaths = IsPathLeadByte(static_cast<char>(byte));
    }
    size_t length = std::strlen(path);
    SourceEncoding encoding = SourceEncoding::Cp932;
    if (!codePagePaths) {
        Utf8Validator validator;
        validator.Feed(path, path + length);
        encoding = validator.Finish() ? SourceEncoding::Utf8 : CodePageEncoding();
    }
    return DecodeText(LiteralText{nullptr, path, length}, encoding, sink);
}

void WriteHexOf(const LiteralText& text, SourceEncoding encoding, HexSink& sink)
{
    if (IsUtf16(encoding)) {
        WriteUtf16HexOf(text, encoding == SourceEncoding::Utf16Be, sink);
        return;
    }
    HexWriter hex(sink);
    text.ForEachPiece([&hex](const char* piece, size_t size) {
        for (size_t index = 0; index < size; ++index) {
            hex.Put(static_cast<unsigned char>(piece[index]));
        }
    });
    hex.Flush();
}

std::string HexOf(const LiteralText& text, SourceEncoding encoding)
{
    class Collect : public HexSink {
    public:
        void OnDigits(const char* digits, size_t length) override { hex.append(digits, length); }
        std::string hex;
    } collect;
    WriteHexOf(text, encoding, collect);
    return collect.hex;
}
