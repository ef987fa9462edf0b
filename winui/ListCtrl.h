#pragma once

#include "platform/CString.h"
#include "winui/Wnd.h"

#include <commctrl.h>
#include <windows.h>

// A list-view control: thin wrappers over its messages.
class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, const char* heading, int format, int width, int subItem) const
    {
        LVCOLUMNA info = {};
        info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        info.fmt = format;
        info.cx = width;
        info.pszText = const_cast<char*>(heading);
        info.iSubItem = subItem;
        return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                            reinterpret_cast<LPARAM>(&info)));
    }
    // Inserts a text item; a position past the end appends. Returns the item's index, or -1.
    int InsertItem(int item, const char* text) const
    {
        LVITEMA info = {};
        info.mask = LVIF_TEXT;
        info.iItem = item;
        info.pszText = const_cast<char*>(text);
        return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&info)));
    }
    bool SetItemText(int item, int subItem, const char* text) const
    {
        LVITEMA info = {};
        info.iSubItem = subItem;
        info.pszText = const_cast<char*>(text);
        return SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
                           reinterpret_cast<LPARAM>(&info)) != FALSE;
    }
    CString GetItemText(int item, int subItem) const;
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    bool DeleteItem(int item) const
    {
        return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)) != FALSE;
    }
    // The next item after `start` (-1: from the beginning) with the state `flags`, or -1.
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(
            SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
    }
    bool SetItemState(int item, UINT state, UINT mask) const
    {
        LVITEMA info = {};
        info.state = state;
        info.stateMask = mask;
        return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                           reinterpret_cast<LPARAM>(&info)) != FALSE;
    }
    // Starts editing the item's label; returns the label-edit control.
    HWND EditLabel(int item) const
    {
        return reinterpret_cast<HWND>(SendMessage(LVM_EDITLABELA, static_cast<WPARAM>(item)));
    }
    // The label-edit control while a label is being edited, else null.
    HWND GetEditControl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETEDITCONTROL)); }
};
