#include "settings/EnvData.h"

#include "platform/Directory.h"
#include "platform/Module.h"
#include "platform/Path.h"
#include "platform/Profile.h"

#include <cstring>

namespace {

const char kSection[] = "EnvData";
const char kIniName[] = "Tolvek.ini";

// The key's value, or its default when there is no file to read (a null path).
CString ReadValue(const char* key, const char* defaultValue, const char* iniPath)
{
    if (iniPath == nullptr) {
        return CString(defaultValue);
    }
    char value[kProfileValueBytes] = {};
    ReadProfileValue(kSection, key, defaultValue, value, sizeof value, iniPath);
    return CString(value);
}

// Whether the settings file may be read: it is missing (the defaults), or a regular file. A FIFO
// would hold the start up until someone writes to it, and a device may never end.
bool IsReadable(const char* iniPath, Failure& failure)
{
    uint32_t attributes = 0;
    Failure missing;
    if (FindPathEntry(iniPath, attributes, missing) &&
        (attributes & (kAttrDirectory | kAttrDevice)) != 0) {
        failure = MakeFailure(FailureKind::NotRegularFile);
        return false;
    }
    return true;
}

bool IsAsciiSpace(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

}  // namespace

int32_t ParseDecimal(const char* text)
{
    while (IsAsciiSpace(*text)) {
        ++text;
    }
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT32_MAX) {
            return negative ? INT32_MIN : INT32_MAX;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

int CEnvData::GetIniPath(char* buffer) const
{
    CString folder;
    if (!GetSettingsFolder(folder)) {
        return 0;
    }
    CString path = folder;
    path += kPathSeparator;
    path += kIniName;
    if (path.GetLength() > kMaxPathBytes) {
        return 0;
    }
    std::memcpy(buffer, path.GetString(), static_cast<size_t>(path.GetLength()) + 1);
    return 1;
}

void CEnvData::Load()
{
    char iniPath[kMaxPathBytes + 1] = {};
    if (!GetIniPath(iniPath)) {
        return;
    }
    m_loadFailure = Failure();
    const char* source = IsReadable(iniPath, m_loadFailure) ? iniPath : nullptr;
    m_nStrFlg = ParseDecimal(ReadValue("StrFlg", "0", source));
    m_strTgtFile = ReadValue("TgtFile", "|c|cpp|h|", source);
    m_strToken = ReadValue("Token", "\"", source);
    // 0 or 1; anything else that may stand there counts as 0.
    m_bSubFolder = ParseDecimal(ReadValue("SubFolder", "0", source)) == 1;
    // 1 reads C/C++ literals; a missing or unknown value is the delimiter pairs.
    m_nSyntax = ParseDecimal(ReadValue("Syntax", "0", source)) == 1 ? 1 : 0;
    m_loaded.loaded = true;
    m_loaded.strFlg = m_nStrFlg;
    m_loaded.tgtFile = m_strTgtFile;
    m_loaded.token = m_strToken;
    m_loaded.subFolder = m_bSubFolder;
    m_loaded.syntax = m_nSyntax;
}

void CEnvData::Save() const
{
    char iniPath[kMaxPathBytes + 1] = {};
    if (!GetIniPath(iniPath)) {
        return;
    }
    uint32_t attributes = 0;
    Failure missing;
    bool whole = !m_loaded.loaded || !FindPathEntry(iniPath, attributes, missing);
    if (whole) {
        PrepareSettingsFolder(CString(iniPath, FindLastSeparator(iniPath)));
    }
    if (whole || m_nStrFlg != m_loaded.strFlg) {
        CString strFlg;
        strFlg.Format("%d", static_cast<int>(m_nStrFlg));
        WriteProfileValue(kSection, "StrFlg", strFlg, iniPath);
    }
    if (whole || m_strTgtFile != m_loaded.tgtFile) {
        WriteProfileValue(kSection, "TgtFile", m_strTgtFile, iniPath);
    }
    if (whole || m_strToken != m_loaded.token) {
        WriteProfileValue(kSection, "Token", m_strToken, iniPath);
    }
    if (whole || m_bSubFolder != m_loaded.subFolder) {
        WriteProfileValue(kSection, "SubFolder", m_bSubFolder ? "1" : "0", iniPath);
    }
    if (whole || m_nSyntax != m_loaded.syntax) {
        WriteProfileValue(kSection, "Syntax", m_nSyntax == 1 ? "1" : "0", iniPath);
    }
}
