#include "engine/UnitCollector.h"

#include "engine/LiteralCodec.h"

void UnitCollector::Add(const TranslationPlace& place, const std::string& tokenBytes)
{
    SourceEncoding encoding = SourceEncoding::Utf8;
    LiteralToken token;
    if (!EncodingByName(place.encoding, encoding) ||
        !ParseLiteralToken(tokenBytes, encoding, !place.hasPrefix, IsResourceScriptName(place.file),
                           token)) {
        ++m_unreadable;
        return;
    }
    std::u32string value;
    bool written = !DecodeLiteralValue(token, value);
    std::string source = CharactersToUtf8(written ? WrittenText(token) : value);
    if (source.empty()) {
        return;
    }
    std::string key = (written ? "w" : "v") + source;
    auto found = m_index.find(key);
    if (found == m_index.end()) {
        TranslationUnit unit;
        unit.written = written;
        unit.source = source;
        unit.cFormat = !written && IsCFormat(source);
        found = m_index.emplace(key, m_units.size()).first;
        m_units.push_back(unit);
    }
    TranslationPlace kept = place;
    kept.tokenHash = TokenHash(tokenBytes);
    m_units[found->second].places.push_back(kept);
}
