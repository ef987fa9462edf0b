#include "engine/TranslationApply.h"

#include "engine/TextToUtf8.h"

#include <algorithm>

namespace {

// The lines of a file in UTF-8 (without their line breaks) and where each begins.
struct FileLines {
    std::vector<std::string> text;
    std::vector<size_t> starts;
    bool endsWithBreak = false;

    FileLines(const std::string& bytes, SourceEncoding encoding)
    {
        std::string line;
        size_t start = 0;
        for (const DecodedUnit& unit : DecodeBytes(bytes, encoding)) {
            if (unit.character == U'\n') {
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                text.push_back(line);
                starts.push_back(start);
                line.clear();
                start = unit.offset + unit.length;
            } else if (unit.character == 0xFEFF && unit.offset == 0) {
                continue;  // the byte order mark is no part of the first line
            } else if (unit.character < 0) {
                line += "\xEF\xBF\xBD";
            } else {
                AppendUtf8(static_cast<uint32_t>(unit.character), line);
            }
        }
        endsWithBreak = start == bytes.size();
        if (!endsWithBreak) {
            text.push_back(line);
            starts.push_back(start);
        }
    }

    size_t LineOf(size_t offset) const
    {
        auto after = std::upper_bound(starts.begin(), starts.end(), offset);
        return after == starts.begin() ? 0 : static_cast<size_t>(after - starts.begin()) - 1;
    }
};

// Lines changed together: old lines [oldFirst, oldLast] became new lines [newFirst, newLast].
struct ChangedLines {
    size_t oldFirst, oldLast, newFirst, newLast;
};

const size_t kContext = 3;

void PutLines(const FileLines& lines, size_t first, size_t end, char mark, std::string& out)
{
    for (size_t index = first; index < end && index < lines.text.size(); ++index) {
        out += mark + lines.text[index] + "\n";
        if (index + 1 == lines.text.size() && !lines.endsWithBreak) {
            out += "\\ No newline at end of file\n";
        }
    }
}

std::string Range(size_t first, size_t count)
{
    return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
}

}  // namespace

std::string UnifiedDiff(const std::string& name, const std::string& oldBytes,
                        SourceEncoding encoding, const std::vector<TokenEdit>& unsortedEdits)
{
    std::vector<TokenEdit> edits = unsortedEdits;
    std::sort(edits.begin(), edits.end(),
              [](const TokenEdit& left, const TokenEdit& right) { return left.offset < right.offset; });
    std::string newBytes;
    std::vector<ChangedLines> changes;
    std::vector<std::pair<size_t, size_t>> newRanges;
    size_t at = 0;
    for (const TokenEdit& edit : edits) {
        newBytes.append(oldBytes, at, static_cast<size_t>(edit.offset) - at);
        newRanges.emplace_back(newBytes.size(), edit.token.size());
        newBytes += edit.token;
        at = static_cast<size_t>(edit.offset + edit.length);
    }
    newBytes.append(oldBytes, at, std::string::npos);
    FileLines oldLines(oldBytes, encoding);
    FileLines newLines(newBytes, encoding);
    for (size_t index = 0; index < edits.size(); ++index) {
        size_t offset = static_cast<size_t>(edits[index].offset);
        ChangedLines change{oldLines.LineOf(offset),
                            oldLines.LineOf(offset + static_cast<size_t>(edits[index].length) - 1),
                            newLines.LineOf(newRanges[index].first),
                            newLines.LineOf(newRanges[index].first +
                                            std::max<size_t>(newRanges[index].second, 1) - 1)};
        if (!changes.empty() && change.oldFirst <= changes.back().oldLast + 1) {
            changes.back().oldLast = std::max(changes.back().oldLast, change.oldLast);
            changes.back().newLast = std::max(changes.back().newLast, change.newLast);
        } else {
            changes.push_back(change);
        }
    }
    std::string out = "--- a/" + name + "\n+++ b/" + name + "\n";
    for (size_t first = 0; first < changes.size();) {
        size_t last = first;
        while (last + 1 < changes.size() &&
               changes[last + 1].oldFirst <= changes[last].oldLast + 1 + 2 * kContext) {
            ++last;
        }
        size_t oldStart = changes[first].oldFirst - std::min(changes[first].oldFirst, kContext);
        size_t oldEnd = std::min(oldLines.text.size(), changes[last].oldLast + 1 + kContext);
        size_t newStart = changes[first].newFirst - (changes[first].oldFirst - oldStart);
        size_t newEnd = changes[last].newLast + 1 + (oldEnd - changes[last].oldLast - 1);
        std::string hunk;
        PutLines(oldLines, oldStart, changes[first].oldFirst, ' ', hunk);
        for (size_t index = first; index <= last; ++index) {
            PutLines(oldLines, changes[index].oldFirst, changes[index].oldLast + 1, '-', hunk);
            PutLines(newLines, changes[index].newFirst, changes[index].newLast + 1, '+', hunk);
            size_t next = index < last ? changes[index + 1].oldFirst : oldEnd;
            PutLines(oldLines, changes[index].oldLast + 1, next, ' ', hunk);
        }
        out += "@@ -" + Range(oldStart, oldEnd - oldStart) + " +" +
               Range(newStart, newEnd - newStart) + " @@\n" + hunk;
        first = last + 1;
    }
    return out;
}
