#include "platform/CString.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

CString::CString(const char* text) : m_text(text != nullptr ? text : "") {}

CString::CString(const char* text, int length) : m_text(text, static_cast<size_t>(length)) {}

CString& CString::operator=(const char* text)
{
    m_text = text != nullptr ? text : "";
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text != nullptr) {
        m_text += text;
    }
    return *this;
}

CString& CString::operator+=(const CString& text)
{
    m_text += text.m_text;
    return *this;
}

CString& CString::operator+=(char byte)
{
    m_text += byte;
    return *this;
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
    } else {
        m_text.assign(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(&m_text[0], m_text.size(), format, args);
        m_text.resize(static_cast<size_t>(length));
    }
    va_end(args);
}

CString CString::Left(int count) const
{
    size_t kept = std::min(m_text.size(), static_cast<size_t>(std::max(count, 0)));
    return CString(m_text.c_str(), static_cast<int>(kept));
}

CString CString::Right(int count) const
{
    size_t kept = std::min(m_text.size(), static_cast<size_t>(std::max(count, 0)));
    return CString(m_text.c_str() + m_text.size() - kept, static_cast<int>(kept));
}

int CString::Find(const char* sub, int start) const
{
    if (start < 0 || static_cast<size_t>(start) > std::strlen(m_text.c_str())) {
        return -1;
    }
    int found = FindCharAligned(m_text.c_str() + start, sub, GetLeadByteTable());
    return found < 0 ? -1 : found + start;
}

bool operator==(const CString& left, const char* right)
{
    return std::strcmp(left.GetString(), right != nullptr ? right : "") == 0;
}

bool operator==(const CString& left, const CString& right) { return left.m_text == right.m_text; }
