#pragma once

// Inlines a function on a hot path that the compiler would keep apart because it is called from
// several places: its calls then cost no saving and restoring of registers. Both builds use GCC.
#define TOLVEK_ALWAYS_INLINE __attribute__((always_inline)) inline
