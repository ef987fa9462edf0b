#include "gui/EnvSetDlg.h"

#include "engine/Syntax.h"
#include "engine/TargetList.h"
#include "settings/EnvData.h"
#include "gui/resource.h"

#include <iterator>

namespace {

// The column's title, and the text of a new item until the user types another.
constexpr char kExtensionLabel[] = "拡張子";
const int kDelimiterMaxBytes = 1;

}  // namespace

CEnvSetDlg::CEnvSetDlg(CEnvData& env, CWnd* parent) : CDialog(IDD_ENV_DIALOG, parent), m_env(env) {}

const MessageMap* CEnvSetDlg::GetMessageMap() const
{
    static const MessageMapEntry entries[] = {
        MapClicked<&CEnvSetDlg::OnAdd>(IDC_ADD),
        MapClicked<&CEnvSetDlg::OnDelete>(IDC_DELETE),
        MapClicked<&CEnvSetDlg::OnSyntaxClicked>(IDC_SYNTAX),
        MapNotify<&CEnvSetDlg::OnDblclkExtList>(IDC_EXT_LIST, NM_DBLCLK),
        MapNotify<&CEnvSetDlg::OnEndLabelEditExtList>(IDC_EXT_LIST, LVN_ENDLABELEDITA),
    };
    static const MessageMap map = {GetThisMessageMap(), entries, std::size(entries)};
    return &map;
}

void CEnvSetDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EXT_LIST, m_ctlExtList);
    DDX_CBIndex(pDX, IDC_STR_COND, m_nStrCond);
    DDX_Text(pDX, IDC_DELIMITER, m_strDelimiter);
    DDV_MaxChars(pDX, m_strDelimiter, kDelimiterMaxBytes);
    DDX_Check(pDX, IDC_SUB_FOLDER, m_bSubFolder);
    DDX_Check(pDX, IDC_SYNTAX, m_bSyntax);
}

BOOL CEnvSetDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_ctlExtList.InsertColumn(0, kExtensionLabel, LVCFMT_LEFT, 90, 1);
    m_nStrCond = m_env.m_nStrFlg;
    m_strDelimiter = m_env.m_strToken;
    m_bSubFolder = m_env.m_bSubFolder ? 1 : 0;
    m_bSyntax = m_env.m_nSyntax == SYNTAX_CPP ? 1 : 0;
    FillExtList(m_env.m_strTgtFile);
    UpdateData(false);
    EnableDelimiter();
    return TRUE;
}

void CEnvSetDlg::FillExtList(const char* targetList)
{
    std::vector<CString> extensions = SplitTargetList(NormalizeTargetList(targetList));
    for (size_t i = 0; i < extensions.size(); ++i) {
        m_ctlExtList.InsertItem(static_cast<int>(i) + 1, extensions[i]);
    }
}

void CEnvSetDlg::OnSyntaxClicked() { EnableDelimiter(); }

// C/C++ reads its own quotes: the delimiter has no use while the box is checked.
void CEnvSetDlg::EnableDelimiter()
{
    bool cpp = IsDlgButtonChecked(m_hWnd, IDC_SYNTAX) == BST_CHECKED;
    EnableWindow(GetDlgItem(IDC_DELIMITER), cpp ? FALSE : TRUE);
}

void CEnvSetDlg::OnAdd()
{
    int item = m_ctlExtList.GetItemCount();
    m_ctlExtList.InsertItem(item, kExtensionLabel);
    m_ctlExtList.SetFocus();
    m_ctlExtList.EditLabel(item);
}

void CEnvSetDlg::OnDelete()
{
    int item = m_ctlExtList.GetNextItem(-1, LVNI_SELECTED);
    if (item >= 0) {
        m_ctlExtList.DeleteItem(item);
    }
}

void CEnvSetDlg::OnDblclkExtList(NMHDR*, LRESULT* result)
{
    int item = m_ctlExtList.GetNextItem(-1, LVNI_SELECTED);
    if (item >= 0) {
        m_ctlExtList.EditLabel(item);
    }
    *result = 0;
}

void CEnvSetDlg::OnEndLabelEditExtList(NMHDR* header, LRESULT* result)
{
    // The text comes from the edit control even when the edit was cancelled with Escape, so
    // what was typed stays; an item edited to nothing goes.
    HWND edit = m_ctlExtList.GetEditControl();
    if (edit != nullptr) {
        int item = reinterpret_cast<NMLVDISPINFOA*>(header)->item.iItem;
        CString text = GetWindowTextOf(edit);
        m_ctlExtList.SetItemText(item, 0, text);
        if (text.IsEmpty()) {
            m_ctlExtList.DeleteItem(item);
        }
    }
    // The label is already set: the list view must not take one of its own.
    *result = 0;
}

BOOL CEnvSetDlg::PreTranslateMessage(MSG* message)
{
    // Enter and Escape end a label edit but never close the dialog: OK and Cancel are clicked.
    bool enterOrEscape = message->message == WM_KEYDOWN &&
                         (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE);
    if (enterOrEscape && m_ctlExtList.GetEditControl() == nullptr) {
        return TRUE;
    }
    return CDialog::PreTranslateMessage(message);
}

CString CEnvSetDlg::CollectTargetList() const
{
    std::vector<CString> extensions;
    int count = m_ctlExtList.GetItemCount();
    for (int item = 0; item < count; ++item) {
        extensions.push_back(NormalizeExtension(m_ctlExtList.GetItemText(item, 0)));
    }
    return JoinTargetList(extensions);
}

void CEnvSetDlg::OnOK()
{
    CString targetList = CollectTargetList();
    // Nothing is stored unless the controls pass the validation; a failed one keeps the dialog
    // open on the control at fault.
    if (!UpdateData(true)) {
        return;
    }
    m_env.m_strTgtFile = targetList;
    m_env.m_nStrFlg = m_nStrCond;
    m_env.m_strToken = m_strDelimiter;
    m_env.m_bSubFolder = m_bSubFolder != 0;
    m_env.m_nSyntax = m_bSyntax != 0 ? SYNTAX_CPP : SYNTAX_PAIRS;
    EndDialog(IDOK);
}
