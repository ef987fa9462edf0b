#pragma once

#include <string>
#include <vector>

// The lines of a profile file, as stored (each with its own line end), and the lookups that
// the profile functions need. Section and key names match without regard to ASCII case; the
// first matching section, and the first matching key in it, win.
class IniText {
public:
    explicit IniText(const std::string& content);

    // The value of `key` in `section`, blanks around it dropped; false when missing.
    bool Read(const std::string& section, const std::string& key, std::string& value) const;

    // Sets `key` in `section`, adding the section or the key when missing; every other line
    // stays as it was.
    void Write(const std::string& section, const std::string& key, const std::string& value);

    std::string Content() const;

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n" or "" (the last line of a file without one)
    };

    // Index of the first line of the section's body and one past its last line; false when
    // the section is missing.
    bool FindSection(const std::string& section, size_t& begin, size_t& end) const;
    bool FindKey(size_t begin, size_t end, const std::string& key, size_t& index) const;
    std::string LineEnd() const;

    std::vector<Line> m_lines;
};
