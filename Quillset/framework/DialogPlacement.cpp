#include "framework/DialogPlacement.h"

namespace {

constexpr DWORD kPositioningStyles = DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE;

bool ReadTemplatePlacement(const BYTE* data, DWORD size, DWORD& style, short& x, short& y) {
    // Extended: dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y.
    // Classic: style, dwExtendedStyle, cdit, x, y.
    const bool extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF &&
                          data[3] == 0xFF;
    const DWORD styleAt = extended ? 12 : 0;
    const DWORD xAt = extended ? 18 : 10;
    if (size < xAt + 4) return false;
    CopyMemory(&style, data + styleAt, sizeof style);
    CopyMemory(&x, data + xAt, sizeof x);
    CopyMemory(&y, data + xAt + 2, sizeof y);
    return true;
}

bool EqualRects(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

}  // namespace

bool IsTemplateLeftToPlace(HINSTANCE module, UINT templateId) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (!found) return false;
    const HGLOBAL loaded = LoadResource(module, found);
    const auto* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    DWORD style = 0;
    short x = 0, y = 0;
    if (!data || !ReadTemplatePlacement(data, SizeofResource(module, found), style, x, y))
        return false;
    return x == 0 && y == 0 && (style & kPositioningStyles) == 0;
}

void PlaceOpeningDialog(HWND dialog, const RECT& rectBeforeInit, HWND mainWindow) {
    if (IsWindowVisible(dialog)) return;
    RECT now{};
    if (!GetWindowRect(dialog, &now) || !EqualRects(now, rectBeforeInit)) return;
    const HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowEnabled(owner)) return;
    CenterDialog(dialog, mainWindow);
}

void CenterDialog(HWND dialog, HWND mainWindow) {
    RECT box{};
    GetWindowRect(dialog, &box);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;

    HWND center = GetWindow(dialog, GW_OWNER);
    if (center && (!IsWindowVisible(center) || IsIconic(center))) center = nullptr;

    RECT over{};
    RECT area{};
    if (center) {
        GetWindowRect(center, &over);
        area = WorkAreaOf(MonitorFromWindow(center, MONITOR_DEFAULTTONEAREST));
    } else {
        const HMONITOR monitor = mainWindow ? MonitorFromWindow(mainWindow, MONITOR_DEFAULTTOPRIMARY)
                                            : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        area = WorkAreaOf(monitor);
        over = area;
    }

    LONG left = (over.left + over.right) / 2 - width / 2;
    LONG top = (over.top + over.bottom) / 2 - height / 2;
    if (left + width > area.right) left = area.right - width;
    if (left < area.left) left = area.left;
    if (top + height > area.bottom) top = area.bottom - height;
    if (top < area.top) top = area.top;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
