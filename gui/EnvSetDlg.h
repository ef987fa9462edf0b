#pragma once

#include "platform/CString.h"
#include "winui/Dialog.h"
#include "winui/ListCtrl.h"

#include <cstdint>

class CEnvData;

// The settings dialog: the target extensions, the extraction condition, the delimiter,
// whether folder jobs go into the subfolders, and whether sources are read as C/C++ (which
// leaves the delimiter without use, so its field is disabled then).
// OK writes them into the application's settings; Cancel leaves those as they were.
class CEnvSetDlg : public CDialog {
public:
    explicit CEnvSetDlg(CEnvData& env, CWnd* parent = nullptr);

    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnInitDialog() override;

    CListCtrl m_ctlExtList;
    int32_t m_nStrCond = -1;  // selected condition; -1 for none
    CString m_strDelimiter;
    int m_bSubFolder = 0;  // the check box "サブフォルダも解析する"
    int m_bSyntax = 0;     // the check box that reads sources as C/C++

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    const MessageMap* GetMessageMap() const override;

private:
    void OnAdd();
    void OnSyntaxClicked();
    void EnableDelimiter();
    void OnDelete();
    void OnDblclkExtList(NMHDR* header, LRESULT* result);
    void OnEndLabelEditExtList(NMHDR* header, LRESULT* result);

    void FillExtList(const char* targetList);
    CString CollectTargetList() const;

    CEnvData& m_env;
};
