// Resource IDs of the dialog framework's own test dialogs.
#pragma once

#define IDD_PLAIN 100
#define IDD_PROBE 101
#define IDC_FIRST 1001
#define IDC_SECOND 1002
#define IDC_APPLY 1003
#define IDC_CHOICE 1004
