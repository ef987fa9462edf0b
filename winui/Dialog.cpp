#include "winui/Dialog.h"

#include "platform/WinApp.h"
#include "winui/DialogInit.h"

#include <commctrl.h>

#include <iterator>

namespace {

CWnd* g_mainWnd = nullptr;

// ID_HELP, the framework's help command.
const WORD kCommandHelp = 0xE146;

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CHARTOITEM:
        case WM_VKEYTOITEM:
        case WM_COMPAREITEM:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return false;
    }
}

}  // namespace

CWnd* AfxGetMainWnd() { return g_mainWnd; }

void AfxSetMainWnd(CWnd* window) { g_mainWnd = window; }

void Enable3dControls()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls = {sizeof controls,
                                         ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr && IsWindow(m_hWnd)) {
        DestroyWindow(m_hWnd);
    }
}

const MessageMap* CDialog::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = {
        MapClicked<&CDialog::OnClickedOK>(IDOK),
        MapClicked<&CDialog::OnClickedCancel>(IDCANCEL),
    };
    static const MessageMap map = {nullptr, entries, std::size(entries)};
    return &map;
}

const MessageMap* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

INT_PTR CDialog::DoModal()
{
    Enable3dControls();
    HWND owner = FindOwner();
    bool disabledOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disabledOwner) {
        EnableWindow(owner, FALSE);
    }
    m_nModalResult = -1;
    m_bContinueModal = true;
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate),
                                     owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (window != nullptr) {
        if (m_bContinueModal) {
            ShowWindow(window, SW_SHOWNORMAL);
        }
        RunModalLoop();
    }
    // The owner comes back before the dialog goes, so that it takes the activation.
    if (disabledOwner) {
        EnableWindow(owner, TRUE);
    }
    if (window != nullptr && IsWindow(window)) {
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (owner != nullptr && GetActiveWindow() == window) {
            SetActiveWindow(owner);
        }
        DestroyWindow(window);
    }
    m_hWnd = nullptr;
    m_editByteLimits.clear();
    return m_nModalResult;
}

HWND CDialog::FindOwner() const
{
    CWnd* parent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    if (parent == nullptr || parent == this || parent->GetSafeHwnd() == nullptr) {
        return nullptr;
    }
    return GetAncestor(parent->GetSafeHwnd(), GA_ROOT);
}

void CDialog::RunModalLoop()
{
    MSG message;
    while (m_bContinueModal) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Every loop around this one must end too.
            PostQuitMessage(static_cast<int>(message.wParam));
            m_nModalResult = -1;
            return;
        }
        if (got == -1) {
            m_nModalResult = -1;
            return;
        }
        if (!PreTranslateMessage(&message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    m_bContinueModal = false;
    if (m_hWnd != nullptr) {
        // Wakes the modal loop, which may be waiting for a message.
        PostMessage(WM_NULL);
    }
}

BOOL CDialog::PreTranslateMessage(MSG* message)
{
    return m_hWnd != nullptr && IsDialogMessageA(m_hWnd, message);
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(*this, saveAndValidate);
    // Texts that the program puts in the controls are not held to the byte limits: a value
    // that is too long shows as it is, and fails the validation when read back.
    bool outerFilling = m_bFillingControls;
    m_bFillingControls = !saveAndValidate;
    DoDataExchange(&exchange);
    m_bFillingControls = outerFilling;
    return !exchange.m_bFailed;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    ExecuteDialogInit(m_hWnd, m_nIDTemplate);
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::Default()
{
    m_bPassToDefault = true;
    return 0;
}

void CDialog::LimitEditBytes(HWND edit, int maxBytes)
{
    for (EditByteLimit& limit : m_editByteLimits) {
        if (limit.edit == edit) {
            limit.maxBytes = maxBytes;
            return;
        }
    }
    m_editByteLimits.push_back({edit, maxBytes});
}

void CDialog::EnforceByteLimit(HWND edit)
{
    if (m_bFillingControls) {
        return;
    }
    for (const EditByteLimit& limit : m_editByteLimits) {
        if (limit.edit == edit && GetWindowTextOf(edit).GetLength() > limit.maxBytes) {
            // Takes back the change that went past the limit, as the edit control does with
            // one that goes past its own.
            ::SendMessageA(edit, EM_UNDO, 0, 0);
            ::SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
            MessageBeep(MB_OK);
        }
    }
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

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A handler may send messages to its own dialog: each message keeps its own flag.
    struct FlagScope {
        bool& flag;
        bool outer;
        ~FlagScope() { flag = outer; }
    } scope{m_bPassToDefault, m_bPassToDefault};
    m_bPassToDefault = false;
    LRESULT result = WindowProc(message, wParam, lParam);
    bool passToDefault = m_bPassToDefault;
    if (message == WM_NCDESTROY) {
        m_hWnd = nullptr;
        m_bContinueModal = false;
    }
    if (passToDefault) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    if (m_hWnd != nullptr) {
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    }
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (dialog == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
    }
    try {
        return dialog->Dispatch(message, wParam, lParam);
    } catch (...) {
        // No exception crosses into the system; the message gets the system's processing.
        return FALSE;
    }
}
