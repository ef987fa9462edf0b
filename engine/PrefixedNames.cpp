#include "engine/PrefixedNames.h"

CString PrefixedNamesFormat::FileLabel(const char* displayName) const
{
    CString name = m_prefix;
    name += displayName;
    return m_inner.FileLabel(name);
}
