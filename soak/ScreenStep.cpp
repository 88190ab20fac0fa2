#include "ScreenStep.h"

namespace {

std::string Check(LRESULT state) { return state < 0 ? "?" : std::to_string(state); }

std::string Render(const ScreenStep& step) {
    switch (step.screen) {
    case ProgramScreen::Nothing: return "nothing";
    case ProgramScreen::Settings: {
        std::string text = "settings(check " + Check(step.shownCheck);
        if (step.toggled) text += " -> " + Check(step.checkAfterToggle);
        return text + ")";
    }
    case ProgramScreen::NoDevice: return "no-device";
    case ProgramScreen::MessageBox: {
        std::string text = "message ";
        text += step.messageId ? std::to_string(step.messageId) : "(unknown text)";
        if (!step.messageNote.empty()) text += " (" + step.messageNote + ")";
        return text;
    }
    case ProgramScreen::Ended: return "end";
    }
    return "?";
}

}  // namespace

std::string Render(const std::vector<ScreenStep>& steps) {
    std::string text;
    for (const ScreenStep& step : steps) {
        if (!text.empty()) text += " > ";
        text += Render(step);
    }
    return text.empty() ? "nothing" : text;
}
