// How messages reach a dialog object: the dialog procedure attaches the object at
// WM_INITDIALOG and puts our window procedure in front of the system's, which from then on
// hands every message to WindowProc; Default calls the system's procedure for the message.
#include "winui/Dialog.h"

#include "platform/WinApp.h"

namespace {

// ID_HELP, the framework's help command.
const WORD kCommandHelp = 0xE146;

}  // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Once the object is attached, the system calls this procedure only from its own default
    // processing (reached through Default): FALSE lets it go on with that processing.
    if (message != WM_INITDIALOG || GetWindowLongPtrA(window, DWLP_USER) != 0) {
        return FALSE;
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->AttachDialog(window);
    // WM_INITDIALOG's result (whether the system sets the focus) is the procedure's own.
    return static_cast<INT_PTR>(dialog->Dispatch(message, wParam, lParam));
}

LRESULT CALLBACK CDialog::DialogWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) {
        return DefDlgProcA(window, message, wParam, lParam);
    }
    LRESULT result = dialog->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        dialog->DetachDialog();
    }
    return result;
}

void CDialog::AttachDialog(HWND window)
{
    m_hWnd = window;
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    m_pfnSuper = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDialog::DialogWndProc)));
}

void CDialog::DetachDialog()
{
    // The window's last message: it leaves with the procedure that it came with.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) ==
        &CDialog::DialogWndProc) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    m_bContinueModal = false;
}

LRESULT CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A handler may send messages to its own dialog: Default hands on the innermost one.
    CurrentMessage current = {message, wParam, lParam, false};
    CurrentMessage* outer = m_pCurrentMessage;
    m_pCurrentMessage = &current;
    LRESULT result = 0;
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception crosses into the system; the message gets the system's processing,
        // unless the handler had already asked for it.
        result = current.passedOn ? 0 : Default();
    }
    m_pCurrentMessage = outer;
    return result;
}

LRESULT CDialog::Default()
{
    if (m_pCurrentMessage == nullptr || m_pfnSuper == nullptr) {
        return 0;
    }
    m_pCurrentMessage->passedOn = true;
    return CallWindowProcA(m_pfnSuper, m_hWnd, m_pCurrentMessage->message,
                           m_pCurrentMessage->wParam, m_pCurrentMessage->lParam);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, result)) {
        return Default();
    }
    return result;
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_INITDIALOG) {
        result = OnInitDialog();
        return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        EnforceByteLimit(reinterpret_cast<HWND>(lParam));
    }
    const MessageMapEntry* entry = FindMessageEntry(GetMessageMap(), message, wParam, lParam);
    if (entry == nullptr && message == WM_COMMAND && LOWORD(wParam) == kCommandHelp) {
        // The help command, when no dialog takes it, goes on to the application.
        if (AfxGetApp() != nullptr) {
            AfxGetApp()->OnHelp();
        }
        return true;
    }
    if (entry == nullptr) {
        return false;
    }
    result = entry->call(*this, wParam, lParam);
    return true;
}
