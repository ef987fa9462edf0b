// 通信の処理 (UTF-8 with a byte order mark, in a subfolder: analysed with -r)
#include "../messages.h"

void Connect(const char* host)
{
    ShowText("サーバーに接続しています…");
    ShowText("Connecting to %s");
    ShowText("ｻｰﾊﾞｰ OK");  /* half-width katakana */
    ShowText("接続できません: 再試行 ☆");  /* ☆ is in code page 932; ✓ is not */
    ShowText("✓ 完了");
}
