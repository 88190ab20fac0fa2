#pragma once
// The wait cursor of a busy dialog, shown only once the dialog has waited long enough for a
// user to notice: when a wait that reads the thread's messages begins (MessageWait.h) while a
// BusyCursor is held. Work that ends within the quiet start of its wait shows none: a wait
// cursor that flickers for a millisecond or two helps nobody, and each change of the cursor
// costs a round trip to the display. User-interface thread only.

#include <windows.h>

class BusyCursor {
public:
    BusyCursor();
    // Puts back the cursor from before, if the wait cursor was shown.
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The cursor a busy window shows.
HCURSOR WaitCursor();

// Called as a message-reading wait begins: shows the wait cursor if a BusyCursor is held and
// it is not shown yet.
void ShowBusyCursorIfHeld();
