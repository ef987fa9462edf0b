#pragma once

#include <string>

// The tool's own texts are UTF-8 in the Linux program; the terminal may use another encoding.
// Call once at start-up, before any thread runs.
void InitTerminalEncoding();

// `text` (UTF-8) in the terminal's encoding, or unchanged when it cannot be converted.
std::string ToTerminal(const char* text);
