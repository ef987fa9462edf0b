#pragma once

#include <cstdint>

// Where a literal stands in its file, in the file's bytes as stored (before any line-end or
// encoding conversion). The bytes at `offset` for `length` are the whole token.
struct LiteralPlace {
    int64_t line = 0;     // the physical line where the token begins, from 1
    int64_t column = 0;   // 1-based byte column of the token's first byte; a byte order mark is
                          // not counted on line 1
    uint64_t offset = 0;  // byte offset of the token's first byte: its prefix, or the opening
                          // delimiter when texts are taken between delimiter pairs
    uint64_t length = 0;  // bytes from the first byte to the closing quote; a user-defined
                          // suffix is not part of it
    const char* prefix = nullptr;  // the C/C++ encoding prefix ("", "L", "u8R", ...); null
                                   // when texts are taken between delimiter pairs
};

// Tells where the bytes that the scanner is fed stand in the file as stored: the scanner sees
// decoded text (CR LF read as LF, a byte order mark skipped, UTF-16 turned into UTF-8), while
// positions are given in the stored bytes. Each reader of a file supplies its own.
class StoredOffsets {
public:
    virtual ~StoredOffsets() = default;
    // The stored offset of the byte at `decoded`, counted from the first byte fed to the scanner.
    // Valid for the bytes of the block being fed, and only while it is.
    virtual uint64_t StoredOffset(uint64_t decoded) const = 0;
    // The stored offset just past the character that holds the byte at `decoded` (a quote of a
    // UTF-16 file takes two bytes). Valid as StoredOffset is.
    virtual uint64_t StoredEnd(uint64_t decoded) const { return StoredOffset(decoded) + 1; }
};

// The decoded bytes are the stored ones.
class SameOffsets : public StoredOffsets {
public:
    uint64_t StoredOffset(uint64_t decoded) const override { return decoded; }
};
