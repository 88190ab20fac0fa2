#include "framework/DialogPlacement.h"

#include <cstddef>

namespace {

constexpr DWORD kPositioningStyles = DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE;

// The header of an extended template (DLGTEMPLATEEX), which the SDK headers do not declare.
// The classic one is DLGTEMPLATE.
struct ExtendedTemplateHeader {
    WORD dlgVer;     // 1
    WORD signature;  // 0xFFFF
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    WORD cDlgItems;
    short x;
    short y;
    short cx;
    short cy;
};
static_assert(offsetof(ExtendedTemplateHeader, style) == 12);
static_assert(offsetof(ExtendedTemplateHeader, x) == 18);
static_assert(offsetof(DLGTEMPLATE, x) == 10);

// A template's style and position; false when it ends before its y.
template <typename Header>
bool ReadPlacement(const BYTE* data, DWORD size, DWORD& style, short& x, short& y) {
    if (size < offsetof(Header, y) + sizeof y) return false;
    CopyMemory(&style, data + offsetof(Header, style), sizeof style);
    CopyMemory(&x, data + offsetof(Header, x), sizeof x);
    CopyMemory(&y, data + offsetof(Header, y), sizeof y);
    return true;
}

bool IsExtendedTemplate(const BYTE* data, DWORD size) {
    WORD version = 0;
    WORD signature = 0;
    if (size < offsetof(ExtendedTemplateHeader, helpID)) return false;
    CopyMemory(&version, data + offsetof(ExtendedTemplateHeader, dlgVer), sizeof version);
    CopyMemory(&signature, data + offsetof(ExtendedTemplateHeader, signature), sizeof signature);
    return version == 1 && signature == 0xFFFF;
}

bool ReadTemplatePlacement(const BYTE* data, DWORD size, DWORD& style, short& x, short& y) {
    return IsExtendedTemplate(data, size)
               ? ReadPlacement<ExtendedTemplateHeader>(data, size, style, x, y)
               : ReadPlacement<DLGTEMPLATE>(data, size, style, x, y);
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
