#pragma once
#define MSG_ERROR   "ƒGƒ‰[‚ª”­¶‚µ‚Ü‚µ‚½"
#define MSG_DONE    "Done."
#define MSG_PATH    "C:\\Program Files\\Tolvek"
void ShowText(const char* text);
