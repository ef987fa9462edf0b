#include "platform/posix/IniText.h"

#include <strings.h>

namespace {

bool IsBlank(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\v' ||
           byte == '\f';
}

std::string Trim(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool SameName(const std::string& left, const std::string& right)
{
    return left.size() == right.size() && strncasecmp(left.data(), right.data(), left.size()) == 0;
}

// The name of a "[name]" line, or false for any other line.
bool SectionName(const std::string& line, std::string& name)
{
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] != '[') {
        return false;
    }
    size_t close = trimmed.find(']');
    name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// The key and value of a "key=value" line, or false for any other line.
bool KeyAndValue(const std::string& line, std::string& key, std::string& value)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    key = Trim(line.substr(0, equals));
    value = Trim(line.substr(equals + 1));
    return !key.empty() && key[0] != ';';
}

}  // namespace

IniText::IniText(const std::string& content)
{
    size_t start = 0;
    while (start < content.size()) {
        size_t newline = content.find('\n', start);
        Line line;
        if (newline == std::string::npos) {
            line.text = content.substr(start);
            start = content.size();
        } else {
            size_t textEnd = newline;
            if (textEnd > start && content[textEnd - 1] == '\r') {
                --textEnd;
            }
            line.text = content.substr(start, textEnd - start);
            line.end = content.substr(textEnd, newline + 1 - textEnd);
            start = newline + 1;
        }
        m_lines.push_back(line);
    }
}

bool IniText::FindSection(const std::string& section, size_t& begin, size_t& end) const
{
    std::string name;
    for (size_t index = 0; index < m_lines.size(); ++index) {
        if (SectionName(m_lines[index].text, name) && SameName(name, section)) {
            begin = index + 1;
            end = begin;
            while (end < m_lines.size() && !SectionName(m_lines[end].text, name)) {
                ++end;
            }
            return true;
        }
    }
    return false;
}

bool IniText::FindKey(size_t begin, size_t end, const std::string& key, size_t& index) const
{
    std::string name;
    std::string value;
    for (index = begin; index < end; ++index) {
        if (KeyAndValue(m_lines[index].text, name, value) && SameName(name, key)) {
            return true;
        }
    }
    return false;
}

bool IniText::Read(const std::string& section, const std::string& key, std::string& value) const
{
    size_t begin = 0;
    size_t end = 0;
    size_t index = 0;
    if (!FindSection(section, begin, end) || !FindKey(begin, end, key, index)) {
        return false;
    }
    std::string name;
    KeyAndValue(m_lines[index].text, name, value);
    return true;
}

std::string IniText::LineEnd() const
{
    // Keep the file's own convention; a new file gets the system's.
    return !m_lines.empty() && m_lines[0].end == "\r\n" ? "\r\n" : "\n";
}

void IniText::Write(const std::string& section, const std::string& key, const std::string& value)
{
    std::string lineEnd = LineEnd();
    Line keyLine{key + "=" + value, lineEnd};
    size_t begin = 0;
    size_t end = 0;
    size_t index = 0;
    if (!FindSection(section, begin, end)) {
        if (!m_lines.empty() && m_lines.back().end.empty()) {
            m_lines.back().end = lineEnd;
        }
        m_lines.push_back(Line{"[" + section + "]", lineEnd});
        m_lines.push_back(keyLine);
        return;
    }
    if (FindKey(begin, end, key, index)) {
        // The stored name keeps its own spelling; only the value changes.
        std::string storedName;
        std::string oldValue;
        KeyAndValue(m_lines[index].text, storedName, oldValue);
        m_lines[index].text = storedName + "=" + value;
        return;
    }
    // After the section's last non-blank line, so that a blank line before the next section stays.
    size_t insertAt = end;
    while (insertAt > begin && Trim(m_lines[insertAt - 1].text).empty()) {
        --insertAt;
    }
    if (insertAt > 0 && m_lines[insertAt - 1].end.empty()) {
        m_lines[insertAt - 1].end = lineEnd;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine);
}

std::string IniText::Content() const
{
    std::string content;
    for (const Line& line : m_lines) {
        content += line.text;
        content += line.end;
    }
    return content;
}
