/* Settings dialog (LF line ends) */
#include "messages.h"

void ShowSettings(void)
{
    const char* empty = "";
    const char* label = "\"Quoted\" label";
    ShowText("ê›íËÇï€ë∂ÇµÇ‹ÇµÇΩ");
    ShowText("Settings saved.");
    ShowText("∂¿∂≈ only"); /* half-width katakana are single bytes */
}
