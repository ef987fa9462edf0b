#include "engine/TranslationApply.h"

#include "engine/LiteralCodec.h"
#include "engine/TextToUtf8.h"

#include <algorithm>
#include <map>

std::vector<std::pair<std::string, std::vector<UnitPlace>>> TranslatedPlacesByFile(
    const std::vector<TranslationUnit>& units)
{
    std::vector<std::pair<std::string, std::vector<UnitPlace>>> files;
    std::map<std::string, size_t> index;
    for (const TranslationUnit& unit : units) {
        if (unit.translation.empty() || unit.translation == unit.source) {
            continue;
        }
        for (const TranslationPlace& place : unit.places) {
            auto found = index.find(place.file);
            if (found == index.end()) {
                found = index.emplace(place.file, files.size()).first;
                files.emplace_back(place.file, std::vector<UnitPlace>());
            }
            files[found->second].second.emplace_back(&unit, &place);
        }
    }
    return files;
}

SourceEncoding DetectSourceEncoding(const std::string& bytes, SourceEncoding codePage)
{
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        return SourceEncoding::Utf16Le;
    }
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) {
        return SourceEncoding::Utf16Be;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return SourceEncoding::Utf8;
    }
    bool high = false;
    for (char byte : bytes) {
        high = high || static_cast<unsigned char>(byte) >= 0x80;
    }
    std::u32string ignored;
    return high && Utf8ToCharacters(bytes, ignored) ? SourceEncoding::Utf8 : codePage;
}

FilePlan::FilePlan(const std::string& name, const std::string& bytes, SourceEncoding codePage)
    : m_name(name), m_bytes(bytes),
      m_encoding(DetectSourceEncoding(bytes, codePage))
{
}

void FilePlan::Refuse(const TranslationPlace& place, const std::string& why, bool conflict)
{
    m_problems.push_back({place.line, why, conflict});
}

bool FilePlan::Check(const TranslationPlace& place, const std::string& tokenBytes,
                     LiteralToken& token)
{
    const char* changed = "the source changed since the export";
    if (place.offset < 0 || place.length <= 0 ||
        static_cast<uint64_t>(place.offset) + static_cast<uint64_t>(place.length) > m_bytes.size()) {
        Refuse(place, std::string(changed) + " (it is shorter now)", true);
        return false;
    }
    SourceEncoding encoding = m_encoding;
    if (!place.encoding.empty() && !EncodingByName(place.encoding, encoding)) {
        Refuse(place, "unknown encoding " + place.encoding, true);
        return false;
    }
    m_encoding = encoding;  // the export saw how the file was read; its line breaks are in that
    if (!place.tokenHash.empty() && TokenHash(tokenBytes) != place.tokenHash) {
        Refuse(place, changed, true);
        return false;
    }
    if (!ParseLiteralToken(tokenBytes, encoding, !place.hasPrefix, IsResourceScriptName(m_name),
                           token)) {
        Refuse(place, std::string(changed) + " (no literal at its offset)", true);
        return false;
    }
    if (place.hasPrefix && CharactersToUtf8(token.prefix) != place.prefix) {
        Refuse(place, changed, true);
        return false;
    }
    if (place.hasWrittenText && CharactersToUtf8(WrittenText(token)) != place.writtenText) {
        Refuse(place, changed, true);
        return false;
    }
    return true;
}

void FilePlan::Add(const TranslationUnit& unit, const TranslationPlace& place)
{
    std::string tokenBytes = m_bytes.substr(static_cast<size_t>(std::max<int64_t>(place.offset, 0)),
                                            static_cast<size_t>(std::max<int64_t>(place.length, 0)));
    LiteralToken token;
    if (!Check(place, tokenBytes, token)) {
        return;
    }
    std::u32string translation;
    if (!Utf8ToCharacters(unit.translation, translation)) {
        Refuse(place, "the translation is not UTF-8", false);
        return;
    }
    std::string text;
    std::string why;
    if (!EncodeLiteralText(token, translation, unit.written, LineEnd(), text, why)) {
        Refuse(place, why, false);
        return;
    }
    TokenEdit edit{place.offset, place.length, ReplaceTokenText(tokenBytes, token, text)};
    for (const TokenEdit& other : m_edits) {
        if (other.offset == edit.offset && other.length == edit.length) {
            if (other.token != edit.token) {
                Refuse(place, "two translations for one place", false);
            }
            return;
        }
        if (other.offset < edit.offset + edit.length && edit.offset < other.offset + other.length) {
            Refuse(place, "the place overlaps another one", true);
            return;
        }
    }
    m_edits.push_back(edit);
}

std::u32string FilePlan::LineEnd() const
{
    std::string lineFeed;
    std::string carriageReturn;
    EncodeCharacter(U'\n', m_encoding, lineFeed);
    EncodeCharacter(U'\r', m_encoding, carriageReturn);
    size_t found = m_bytes.find(lineFeed);
    bool crlf = found != std::string::npos && found >= carriageReturn.size() &&
                m_bytes.compare(found - carriageReturn.size(), carriageReturn.size(),
                                carriageReturn) == 0;
    return crlf ? U"\r\n" : U"\n";
}

std::string FilePlan::NewBytes() const
{
    std::vector<TokenEdit> edits = m_edits;
    std::sort(edits.begin(), edits.end(),
              [](const TokenEdit& left, const TokenEdit& right) { return left.offset < right.offset; });
    std::string out;
    size_t at = 0;
    for (const TokenEdit& edit : edits) {
        size_t offset = static_cast<size_t>(edit.offset);
        out.append(m_bytes, at, offset - at);
        out += edit.token;
        at = offset + static_cast<size_t>(edit.length);
    }
    out.append(m_bytes, at, std::string::npos);
    return out;
}
