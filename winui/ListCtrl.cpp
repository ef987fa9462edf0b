#include "winui/ListCtrl.h"

#include <vector>

CString CListCtrl::GetItemText(int item, int subItem) const
{
    // The control copies at most the buffer's size; grow it until the whole text fits.
    for (size_t size = 256;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        LVITEMA info = {};
        info.iSubItem = subItem;
        info.pszText = buffer.data();
        info.cchTextMax = static_cast<int>(size);
        int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                                  reinterpret_cast<LPARAM>(&info)));
        if (length < 0) {
            return CString();
        }
        if (static_cast<size_t>(length) + 1 < size || size >= (1u << 24)) {
            return CString(buffer.data());
        }
    }
}
