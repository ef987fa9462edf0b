#pragma once

#include "engine/LiteralPlace.h"

#include <cstdint>

// Where the bytes that a scanner is fed stand: counted in bytes fed since the file began, and in
// the file as stored. The scanner sees one block at a time; what a later block needs of an
// earlier one's positions is kept here as each block ends. Where no record tells a text's place
// beyond its line, `places` is false and every stored offset is 0, worked out by no one.
struct BlockPositions {
    const StoredOffsets* offsets;
    bool places = true;
    const char* blockBegin = nullptr;
    uint64_t fedBase = 0;          // fed bytes before the current block
    uint64_t lastBlockEnd = 0;     // stored offset past the last block's last byte
    uint64_t lineStartFed = 0;     // where the current line begins, in fed bytes
    uint64_t lineStartStored = 0;  // its stored offset, once its block has passed

    uint64_t Fed(const char* at) const { return fedBase + static_cast<uint64_t>(at - blockBegin); }
    uint64_t StoredOffset(uint64_t fed) const { return places ? offsets->StoredOffset(fed) : 0; }
    uint64_t Stored(const char* at) const { return StoredOffset(Fed(at)); }
    uint64_t StoredEnd(const char* at) const { return places ? offsets->StoredEnd(Fed(at)) : 0; }
    // Where the current line begins, as stored.
    uint64_t LineStartStored() const
    {
        return lineStartFed >= fedBase ? StoredOffset(lineStartFed) : lineStartStored;
    }

    // The block that ends before `end` is done with.
    void EndBlock(const char* end)
    {
        if (end == blockBegin) {
            return;
        }
        uint64_t fedEnd = Fed(end);
        if (lineStartFed >= fedBase && lineStartFed < fedEnd) {
            lineStartStored = StoredOffset(lineStartFed);
        }
        lastBlockEnd = StoredEnd(end - 1);
        fedBase = fedEnd;
        blockBegin = end;
    }
};
