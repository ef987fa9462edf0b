#pragma once

#include <cstdint>

// Code page 932 (Shift_JIS as Windows has it) and Unicode, by one table on every system.

// The character of the double-byte code `lead` `trail`, or 0 when the code is none.
uint32_t Cp932DoubleToUnicode(unsigned char lead, unsigned char trail);
// The character of a single byte, or 0 for a lead byte or a byte that is none (NUL is 0 too).
uint32_t Cp932SingleToUnicode(unsigned char byte);

// Writes the code page 932 bytes of `character` into `bytes`: returns 1 or 2, or 0 when the code
// page has no such character. Only the character itself counts, never a look-alike.
int UnicodeToCp932(uint32_t character, unsigned char bytes[2]);
