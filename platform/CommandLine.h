#pragma once

// The text after the executable's name in a process's command line, as the runtime's start-up
// cuts it: a name that begins with a double quote ends at the next double quote, which is
// dropped with it; any other name ends at the first byte at or below the blank. The bytes from
// 0x01 to 0x20 after the name are skipped; trailing blanks stay.
const char* SkipProgramName(const char* commandLine);
