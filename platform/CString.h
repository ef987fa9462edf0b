#pragma once

#include <cstddef>
#include <string>

// The format checks of the system's printf family (TOLVEK_PRINTF_ARCHETYPE comes from the build).
#define TOLVEK_PRINTF_FORMAT(fmt, args) __attribute__((format(TOLVEK_PRINTF_ARCHETYPE, fmt, args)))

// A byte string in the process's multibyte code page, NUL-terminated like the framework's
// string class. Searches treat a lead byte and the byte after it as one character.
class CString {
public:
    CString() = default;
    CString(const char* text);
    CString(const char* text, int length);

    CString& operator=(const char* text);
    CString& operator+=(const char* text);
    CString& operator+=(const CString& text);
    CString& operator+=(char byte);

    void Format(const char* format, ...) TOLVEK_PRINTF_FORMAT(2, 3);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    char GetAt(int index) const { return m_text[static_cast<size_t>(index)]; }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }

    CString Left(int count) const;
    CString Right(int count) const;

    // Position of the first occurrence of `sub` at or after `start` that begins on a character
    // (never on the trail byte of a double-byte character), or -1. Both sides end at their
    // first NUL.
    int Find(const char* sub, int start = 0) const;

    friend bool operator==(const CString& left, const char* right);
    friend bool operator==(const CString& left, const CString& right);
    friend bool operator!=(const CString& left, const char* right) { return !(left == right); }
    friend bool operator!=(const CString& left, const CString& right) { return !(left == right); }

private:
    std::string m_text;
};
