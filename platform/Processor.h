#pragma once

// What the processor can do beyond the instructions the program was built for.

// True when the processor runs SSE2 instructions: every x86-64 processor, and every processor
// that Windows 8 or later runs on; a 32-bit build asks (Windows: IsProcessorFeaturePresent).
bool ProcessorHasSse2();
