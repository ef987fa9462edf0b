#pragma once

// An ASCII capital as its small letter, any other byte as it is. Extensions, charsets and target
// lists compare so whatever the system's locale: a locale's own folding may turn 'I' into a byte
// of the high half.
inline char FoldAsciiCase(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}
