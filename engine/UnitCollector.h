#pragma once

#include "engine/TranslationUnits.h"

#include <string>
#include <unordered_map>
#include <vector>

// Gathers the places of exported texts into units: one unit per distinct text, in the order of
// first appearance.
class UnitCollector {
public:
    // A place whose token is `tokenBytes`, read from its file. `place.encoding` names the file's
    // encoding, `place.hasPrefix` tells the syntax. A place whose token is no literal of its kind
    // is left out; so is an empty text, which has nothing to translate.
    void Add(const TranslationPlace& place, const std::string& tokenBytes);

    const std::vector<TranslationUnit>& Units() const { return m_units; }
    // Places left out because their token could not be read.
    int64_t Unreadable() const { return m_unreadable; }

private:
    std::vector<TranslationUnit> m_units;
    std::unordered_map<std::string, size_t> m_index;  // kind and text to unit
    int64_t m_unreadable = 0;
};
