#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A text that the scanner found. Most texts lie whole in the block being scanned; one that ran
// across blocks comes as the pieces kept from the earlier blocks, then the part in this block.
// Valid only while the scanner's sink handles it.
struct LiteralText {
    const std::vector<std::string>* earlier = nullptr;  // null or empty: none
    const char* last = nullptr;
    size_t lastLength = 0;
    // False when the scanner knows the text holds no NUL byte: the delimiter pairs' texts end
    // where a NUL hides the rest of their line, and the C/C++ reader stops at a NUL in a string
    // literal. A record then need not look for one to escape.
    bool mayHoldNul = true;

    size_t Length() const
    {
        size_t length = lastLength;
        if (earlier != nullptr) {
            for (const std::string& piece : *earlier) {
                length += piece.size();
            }
        }
        return length;
    }

    // Calls visit(data, length) for each piece, in order.
    template <typename Visit>
    void ForEachPiece(Visit visit) const
    {
        if (earlier != nullptr) {
            for (const std::string& piece : *earlier) {
                visit(piece.data(), piece.size());
            }
        }
        if (lastLength > 0) {
            visit(last, lastLength);
        }
    }
};
