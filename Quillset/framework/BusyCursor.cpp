#include "framework/BusyCursor.h"

namespace {

int held = 0;
bool shown = false;
HCURSOR before = nullptr;

}  // namespace

HCURSOR WaitCursor() { return LoadCursorW(nullptr, IDC_WAIT); }

BusyCursor::BusyCursor() { ++held; }

BusyCursor::~BusyCursor() {
    if (--held > 0 || !shown) return;
    shown = false;
    // No cursor before would hide it until the mouse moves.
    SetCursor(before ? before : LoadCursorW(nullptr, IDC_ARROW));
}

void ShowBusyCursorIfHeld() {
    if (held == 0 || shown) return;
    before = SetCursor(WaitCursor());
    shown = true;
}
