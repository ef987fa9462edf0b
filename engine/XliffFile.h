#pragma once

#include "engine/TranslationUnits.h"

#include <string>
#include <vector>

// Translation units in XLIFF 1.2: a <trans-unit> per text, a <context-group> per place.
std::string WriteXliffFile(const std::vector<TranslationUnit>& units, const std::string& original,
                           const std::string& generator);

// Reads the units and their <target> back. False, with the reason in `error`, for a file that is
// not such XLIFF.
bool ReadXliffFile(const std::string& bytes, std::vector<TranslationUnit>& units,
                   std::string& error);
