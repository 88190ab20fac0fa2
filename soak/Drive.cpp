#include "Drive.h"

#include "OrvexDevice.h"
#include "ScreenWatch.h"
#include "res/resource.h"

#include <cstdio>

namespace {

// More screens than any run can show means the program keeps showing new ones.
constexpr int kMaxScreens = 8;
// Messages to the program wait this long at most. They do not give up on a program that
// counts as hung: after a device request of over 5 s it does, for a moment.
constexpr UINT kMessageTimeoutMs = 5000;

std::string SimError(const SimControl& sim, const char* what, int unit) {
    return std::string(what) + " unit " + std::to_string(unit) + ": " + Narrow(sim.LastError());
}

LRESULT CheckState(HWND dialog) {
    DWORD_PTR state = 0;
    HWND box = ::GetDlgItem(dialog, IDC_LIGHT_LOAD);
    if (!box || !::SendMessageTimeoutW(box, BM_GETCHECK, 0, 0, SMTO_NORMAL,
                                       kMessageTimeoutMs, &state))
        return -1;
    return static_cast<LRESULT>(state);
}

// A user's click on the check box, waited for: the box toggles itself.
bool ClickCheckBox(HWND dialog) {
    DWORD_PTR ignored = 0;
    HWND box = ::GetDlgItem(dialog, IDC_LIGHT_LOAD);
    return box && ::SendMessageTimeoutW(box, BM_CLICK, 0, 0, SMTO_NORMAL, kMessageTimeoutMs,
                                        &ignored);
}

// While the settings dialog is open: units come and go, the user may click the check box,
// then presses OK or Cancel.
bool UseSettingsDialog(SimControl& sim, const Scenario& scenario, HWND dialog, ScreenStep& step,
                       std::string& error) {
    step.shownCheck = CheckState(dialog);
    for (int i = 0; i < Scenario::kUnits; ++i) {
        const UnitPlan& unit = scenario.units[i];
        if (unit.unplugWhileOpen && !sim.Unplug(i + 1)) {
            error = SimError(sim, "cannot unplug", i + 1);
            return false;
        }
        if (unit.plugWhileOpen && !sim.Plug(i + 1)) {
            error = SimError(sim, "cannot plug", i + 1);
            return false;
        }
    }
    if (scenario.toggle) {
        step.toggled = true;
        step.checkAfterToggle = ClickCheckBox(dialog) ? CheckState(dialog) : -1;
    }
    ClickButton(dialog, scenario.pressOk ? IDOK : IDCANCEL);
    if (scenario.inputAfterOk) {
        ::Sleep(scenario.inputAfterOkMs);
        // Whatever the program shows by now, none of this may reach it as a command. Once
        // the dialog has gone, the posts find no window.
        ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        ::PostMessageW(dialog, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
        ClickButton(dialog, IDOK);
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    return true;
}

void Drive(SimControl& sim, const Scenario& scenario, const ProgramTexts& texts,
           ProgramRun& program, Observation& seen) {
    std::vector<HWND> dealtWith;
    for (;;) {
        if (seen.screens.size() > kMaxScreens) {
            seen.hung = true;
            seen.trouble = "the program keeps showing new screens";
            return;
        }
        const WatchResult next = WaitForNextScreen(program, dealtWith, ProgramRun::kWaitMs);
        if (next.outcome == WatchOutcome::Crashed) {
            seen.crashed = true;
            seen.trouble = next.detail;
            return;
        }
        if (next.outcome == WatchOutcome::TimedOut) {
            seen.hung = true;
            seen.trouble = "no new screen and no end within " +
                           std::to_string(ProgramRun::kWaitMs / 1000) + " s";
            return;
        }
        ScreenStep step;
        step.screen = next.screen;
        if (next.outcome == WatchOutcome::Ended) {
            seen.screens.push_back(step);
            return;
        }
        dealtWith.push_back(next.window);
        switch (next.screen) {
        case ProgramScreen::Settings:
            if (!UseSettingsDialog(sim, scenario, next.window, step, seen.harnessError)) return;
            break;
        case ProgramScreen::MessageBox: {
            const std::wstring text = MessageBoxText(next.window);
            step.messageId = texts.IdOfMessage(text);
            if (!step.messageId) step.messageNote = "text \"" + Narrow(text) + "\"";
            const std::wstring caption = WindowText(next.window);
            if (caption != texts.Text(IDS_APP_TITLE)) {
                if (!step.messageNote.empty()) step.messageNote += ", ";
                step.messageNote += "caption \"" + Narrow(caption) + "\"";
            }
            ClickButton(next.window, IDOK);
            break;
        }
        default:  // the device-not-connected dialog
            ClickButton(next.window, IDOK);
            break;
        }
        seen.screens.push_back(step);
    }
}

bool StartProgram(ProgramRun& program, std::string& error) {
    if (program.Start()) return true;
    error = "Kzds0410.exe did not start: " + program.StartFailure();
    return false;
}

}  // namespace

bool StageScenario(SimControl& sim, const Scenario& scenario, std::string& error) {
    if (!sim.Reset()) {
        error = "cannot reset the simulator: " + Narrow(sim.LastError());
        return false;
    }
    for (int i = 0; i < Scenario::kUnits; ++i) {
        const int number = i + 1;
        const UnitPlan& unit = scenario.units[i];
        if (!sim.SetRecord(number, unit.record) ||
            (!unit.setStatuses.empty() && !sim.SetSetStatuses(number, unit.setStatuses)) ||
            (unit.failMask && !sim.SetFailing(number, unit.failMask)) ||
            (unit.delayMs && !sim.SetDelay(number, unit.delayMs)) ||
            (HoldDelayMs(unit.hold) && !sim.SetDelay(number, HoldDelayMs(unit.hold))) ||
            ((unit.hold == Hold::RefusesCancelThenEnds || unit.hold == Hold::RefusesCancelForLong) &&
             !sim.SetRefuseCancel(number, true)) ||
            (unit.hold == Hold::SitsInDispatch &&
             (!sim.SetSit(number, ORVEX_IOCTL_GET_SETTINGS, kSitInDispatchMs) ||
              !sim.SetSit(number, ORVEX_IOCTL_SET_SETTINGS, kSitInDispatchMs))) ||
            (unit.plugged && !sim.Plug(number))) {
            error = SimError(sim, "cannot set up", number);
            return false;
        }
    }
    return true;
}

Observation RunScenario(SimControl& sim, const Scenario& scenario, const ProgramTexts& texts) {
    Observation seen;
    if (!StageScenario(sim, scenario, seen.harnessError)) return seen;
    {
        ProgramRun program;
        if (!StartProgram(program, seen.harnessError)) return seen;
        Drive(sim, scenario, texts, program, seen);
        if (seen.crashed) DismissCrashDialogs();
        if (!seen.crashed && !seen.hung && seen.harnessError.empty()) {
            seen.exited = program.WaitForExit(ProgramRun::kWaitMs, &seen.exitCode);
            if (!seen.exited) {
                seen.hung = true;
                seen.trouble = "the process did not end";
            } else if (!IsNormalExitCode(seen.exitCode)) {
                seen.crashed = true;
                char code[16] = {};
                std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(seen.exitCode));
                seen.trouble = std::string("exit code ") + code;
            }
        }
    }  // a program still running is killed here
    for (int i = 0; i < Scenario::kUnits; ++i) {
        if (!sim.ReadLog(i + 1, seen.requests[i]) && seen.harnessError.empty())
            seen.harnessError = SimError(sim, "cannot read the log of", i + 1);
    }
    return seen;
}
