#include "res/Texts.h"

bool SetControlText(HWND dialog, int controlId, UINT id) {
    const HWND control = GetDlgItem(dialog, controlId);
    if (control == nullptr) return false;
    std::wstring text;
    if (!LoadText(text, id)) return false;
    return SetWindowTextW(control, text.c_str()) != FALSE;
}
