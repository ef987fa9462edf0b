#pragma once

#include "engine/TranslationUnits.h"

#include <string>
#include <vector>

// Translation units in gettext's PO format, in UTF-8. Each place is a `#: name:line` reference and
// a `#. tolvek:` comment that says where apply finds it; a text given as written carries the
// context "tolvek: as written".
std::string WritePoFile(const std::vector<TranslationUnit>& units, const std::string& generator);

// Reads a PO file back. False, with the reason (and its line) in `error`, for a file that is not a
// PO file in UTF-8: a broken or missing header, a charset other than UTF-8, bytes that are not
// UTF-8, a string that does not end. Fuzzy translations count as none, as msgfmt takes them.
bool ReadPoFile(const std::string& bytes, std::vector<TranslationUnit>& units, std::string& error);
