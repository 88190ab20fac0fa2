#pragma once
// One screen of a run, as the model expects it or as the soak saw it, in a form both can be
// compared and printed in.

#include "support/ProgramRun.h"

#include <windows.h>

#include <string>
#include <vector>

struct ScreenStep {
    ProgramScreen screen = ProgramScreen::Nothing;
    // Settings dialog: the check box as it showed, and after the soak's click (toggled only).
    LRESULT shownCheck = -1;
    bool toggled = false;
    LRESULT checkAfterToggle = -1;
    // Message box: the string the text is (0: none of the known ones), and what did not match.
    UINT messageId = 0;
    std::string messageNote;

    bool operator==(const ScreenStep&) const = default;
};

// e.g. "settings(check 1 -> 0) > message 33090 > end"
std::string Render(const std::vector<ScreenStep>& steps);
