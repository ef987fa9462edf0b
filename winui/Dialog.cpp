#include "winui/Dialog.h"

#include "winui/DialogInit.h"

#include <commctrl.h>

#include <iterator>

namespace {

CWnd* g_mainWnd = nullptr;

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
