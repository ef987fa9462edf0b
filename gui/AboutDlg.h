#pragma once

#include "winui/Dialog.h"

// The About box, opened from the main window's system menu.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
};
