#pragma once

#include "engine/LiteralScanner.h"

#include <string>

// Collects what the scanner finds as one string: the number of delimiter lines, then
// "line:text;" for each text. Two scans of the same file give equal strings.
class LiteralCollector : public LiteralSink {
public:
    bool OnDelimiterLine() override
    {
        ++m_lines;
        return true;
    }

    void OnLiteral(const LiteralPlace& place, const LiteralText& text) override
    {
        m_found += std::to_string(place.line) + ":";
        text.ForEachPiece([this](const char* piece, size_t size) { m_found.append(piece, size); });
        m_found += ";";
    }

    std::string Result() const { return std::to_string(m_lines) + " " + m_found; }

private:
    int m_lines = 0;
    std::string m_found;
};

// Scans `text` in blocks of `chunk` bytes (0: in one block) and returns what was found; as UTF-8
// when `utf8`, else in the code page.
inline std::string ScanInBlocks(const ScanSettings& settings, const std::string& text, size_t chunk,
                                bool utf8 = false)
{
    LiteralCollector collector;
    LiteralScanner scanner(settings, collector);
    if (utf8) {
        scanner.ReadAsUtf8();
    }
    size_t step = chunk == 0 ? text.size() + 1 : chunk;
    for (size_t at = 0; at < text.size(); at += step) {
        size_t length = text.size() - at < step ? text.size() - at : step;
        scanner.Feed(text.data() + at, text.data() + at + length);
    }
    scanner.Finish();
    return collector.Result();
}
