#pragma once

#include "engine/TranslationUnits.h"

#include <string>

// Reads one JSON-lines record of the command's own (a flat object of strings and numbers) into a
// place: `file`, `line`, `column`, `offset`, `length`, `encoding`, and `prefix` when the C/C++
// syntax read it. False for a line that is not such a record, or that carries no position.
bool ReadRecordPlace(const std::string& line, TranslationPlace& place);
