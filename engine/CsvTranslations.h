#pragma once

#include "engine/TranslationUnits.h"

#include <string>
#include <vector>

// Reads a CSV file of records (RFC 4180, UTF-8, a header row) with a `translation` column: each
// row is one place, its text and translation given as written between the quotes. The columns
// `file`, `text`, `offset`, `length` and `translation` are needed; `line` and `prefix` are read
// when present (`prefix` tells the C/C++ syntax). False, with the reason in `error`, for a file
// that lacks them or is not such CSV.
bool ReadCsvTranslations(const std::string& bytes, std::vector<TranslationUnit>& units,
                         std::string& error);
