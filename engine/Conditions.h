#pragma once

#include <cstdint>

// Extraction conditions: which texts between the delimiters are kept.
const int32_t STRFLG_ANY = 0;               // every text
const int32_t STRFLG_SINGLE_BYTE_ONLY = 1;  // texts without a double-byte character
const int32_t STRFLG_HAS_DOUBLE_BYTE = 2;   // texts with at least one double-byte character
// Any other value keeps every text, as STRFLG_ANY does.
