#pragma once

#include "winui/DataExchange.h"
#include "winui/MessageMap.h"
#include "winui/Wnd.h"

#include <windows.h>

#include <vector>

// A modal dialog from a resource template of the executable.
//
// DoModal creates the dialog and runs a message loop of its own until the dialog ends, so that
// PreTranslateMessage sees every message first. Without a parent the application's main window
// (AfxGetMainWnd) owns the dialog and is disabled while it is open; when the dialog ends, its
// owner is enabled and active again. A WM_QUIT ends the loop and is posted again, so that every
// modal loop around this one ends as well.
//
// At WM_INITDIALOG the dialog procedure stores the object in the window's user data and puts a
// window procedure of ours in front of the system's dialog procedure, so that every later
// message reaches WindowProc first and a handler can call the system's processing itself, with
// Default, and go on with its result. WindowProc looks the message up in the message map
// (GetMessageMap) and calls the handler; what no handler takes gets Default. The help command
// (ID_HELP) that no handler takes goes to the application's OnHelp. At WM_NCDESTROY the window
// gets its own procedure back. No exception leaves our window procedure or dialog procedure.
class CDialog : public CWnd {
public:
    // `parent` null: the application's main window, unless this dialog is that window.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog; returns the value given to EndDialog, or -1 when the dialog could not be
    // created or the loop ended on WM_QUIT.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    // Fills the controls from the members (false) or reads and validates them (true).
    bool UpdateData(bool saveAndValidate = true);

    // Adds the combo-box and list-box items that the template carries, and fills the controls.
    virtual BOOL OnInitDialog();
    // Sees each message of the modal loop before it is dispatched; true when it has taken it.
    // The base gives the dialog its keyboard handling (Tab, Enter, Escape, access keys).
    virtual BOOL PreTranslateMessage(MSG* message);

    // Limits an edit control to a number of bytes of its text in the code page (an edit control
    // that keeps Unicode text counts characters, so its own limit lets a double-byte character
    // pass). Set by DDV_MaxChars.
    void LimitEditBytes(HWND edit, int maxBytes);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Exchanges and validates, then ends the dialog with IDOK.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual const MessageMap* GetMessageMap() const;
    // CDialog's own table, the base of every dialog's table.
    static const MessageMap* GetThisMessageMap();

    // Hands the message being handled to the system's dialog processing and returns its result;
    // the handler may go on afterwards. 0 outside a message.
    LRESULT Default();

private:
    struct EditByteLimit {
        HWND edit;
        int maxBytes;
    };
    // The message that a handler is running for, which Default hands on.
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool passedOn;  // Default has run for it
    };

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK DialogWndProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
    void AttachDialog(HWND window);
    void DetachDialog();
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void EnforceByteLimit(HWND edit);
    HWND FindOwner() const;
    void RunModalLoop();
    void OnClickedOK() { OnOK(); }
    void OnClickedCancel() { OnCancel(); }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;
    bool m_bContinueModal = false;
    WNDPROC m_pfnSuper = nullptr;  // the system's dialog window procedure, while attached
    CurrentMessage* m_pCurrentMessage = nullptr;  // innermost message being handled
    bool m_bFillingControls = false;  // UpdateData(false) is running
    std::vector<EditByteLimit> m_editByteLimits;
};

// The application's main window, the owner of dialogs opened without a parent. Set by the
// start-up code around the main dialog's DoModal; user-interface thread only.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* window);

// Registers the window classes of the common controls (list view). DoModal calls it; the
// start-up code may call it earlier.
void Enable3dControls();
