// メインウィンドウの処理 (Shift_JIS, CR LF line ends)
#include <windows.h>
#include "messages.h"

static const char* kTitle = "ファイル変換ツール";

int Run(HWND hWnd, const char* path)
{
    if (path == NULL) {
        MessageBoxA(hWnd, "ファイルを選択して下さい", kTitle, MB_OK);
        return 1;
    }
    // 表示用のパス: 表 and ソ end in the byte 0x5C, which is not a backslash here.
    printf("Opening %s\n", path);
    SetWindowTextA(hWnd, "表示中: ソース");
    char quote = '\"';
    return quote == '"' ? 0 : 2;
}
