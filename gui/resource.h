// Resource IDs of the Windows program, shared by the resource script and the code.
#pragma once

#define IDM_ABOUTBOX 0x0010
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TOLVEK_DIALOG 102
#define IDR_MAINFRAME 128
#define IDD_ENV_DIALOG 129
#define IDC_SETTING 1000
#define IDC_STATUS_MSG 1001
#define IDC_STATUS_FILE 1002
#define IDC_EXT_LIST 1003
#define IDC_STR_COND 1005
#define IDC_ADD 1006
#define IDC_DELETE 1007
#define IDC_DELIMITER 1008
#define IDC_SUB_FOLDER 1009
#define IDC_SYNTAX 1010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
