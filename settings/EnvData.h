#pragma once

#include "platform/CString.h"

#include <cstdint>

// Extraction conditions, the values of m_nStrFlg.
const int32_t STRFLG_ANY = 0;
const int32_t STRFLG_SINGLE_BYTE_ONLY = 1;
const int32_t STRFLG_HAS_DOUBLE_BYTE = 2;

// The tool's three settings and their INI file, "Tolvek.ini".
// The application object owns the one live instance; a job works on a copy of it.
class CEnvData {
public:
    CEnvData() = default;
    virtual ~CEnvData() = default;

    // Fills a zero-filled buffer of 260 bytes with the INI path. 0 when there is none, or when
    // it would not fit.
    int GetIniPath(char* buffer) const;

    // Reads the three keys; missing ones take their defaults. Nothing happens without a path.
    void Load();
    // Writes the three keys. Nothing happens without a path; failures go unnoticed.
    void Save() const;

    int32_t m_nStrFlg = 0;   // extraction condition, STRFLG_*; other values act as STRFLG_ANY
    CString m_strTgtFile;    // target list, such as "|c|cpp|h|"
    CString m_strToken;      // delimiter; empty means the double quote
};

// The decimal value at the start of `text` as atoi reads it: leading blanks skipped, an optional
// sign, digits up to the first non-digit; 0 without a number. Clamped to the 32-bit range.
int32_t ParseDecimal(const char* text);
