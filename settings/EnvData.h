#pragma once

#include "platform/CString.h"

#include <cstdint>

// The tool's settings and their INI file, "Tolvek.ini".
// The application object owns the one live instance; a job takes its options from it when it
// starts.
class CEnvData {
public:
    CEnvData() = default;
    virtual ~CEnvData() = default;

    // Fills a zero-filled buffer of 260 bytes with the INI path. 0 when there is none, or when
    // it would not fit.
    int GetIniPath(char* buffer) const;

    // Reads the keys; missing ones take their defaults. Nothing happens without a path.
    void Load();
    // Writes the settings back without harm to the file: a missing file is made with all the
    // keys; in a file that is there, only a key whose setting changed since Load is rewritten,
    // so that a value longer than the program holds stays as it stands unless the user changed
    // it. Nothing happens without a path; failures go unnoticed.
    void Save() const;

    int32_t m_nStrFlg = 0;   // extraction condition: 0 every text, 1 texts without a double-byte
                             // character, 2 texts with one; other values act as 0
    CString m_strTgtFile;    // target list, such as "|c|cpp|h|"
    CString m_strToken;      // delimiter; empty means the double quote
    bool m_bSubFolder = false;  // a folder job analyses the subfolders too
    int32_t m_nSyntax = 0;   // 0 texts between delimiter pairs, 1 C/C++ string literals; other
                             // values act as 0

private:
    // The settings as Load found them.
    struct LoadedValues {
        bool loaded = false;
        int32_t strFlg = 0;
        CString tgtFile;
        CString token;
        bool subFolder = false;
        int32_t syntax = 0;
    };
    LoadedValues m_loaded;
};

// The decimal value at the start of `text` as atoi reads it: leading blanks skipped, an optional
// sign, digits up to the first non-digit; 0 without a number. Clamped to the 32-bit range.
int32_t ParseDecimal(const char* text);
