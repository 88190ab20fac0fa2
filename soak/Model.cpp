#include "Model.h"

#include "res/resource.h"

#include <cstring>

namespace {

constexpr std::size_t kRecordSize = ORVEXSIM_RECORD_SIZE;
constexpr std::size_t kStatusOffset = ORVEXSIM_STATUS_OFFSET;
constexpr std::size_t kLightLoadOffset = 312;

void PutWord(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    std::memcpy(&bytes[offset], &value, sizeof value);
}

std::uint32_t WordAt(const Bytes& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, &bytes[offset], sizeof value);
    return value;
}

// The check box as the settings dialog shows a lightLoad. The dialog passes values outside 0
// to 2 on as 0; check box 1000 is a two-state automatic check box, which holds anything above
// BST_CHECKED (here BST_INDETERMINATE) as checked.
LRESULT ShownCheck(std::int32_t lightLoad) {
    const LRESULT passed = lightLoad >= 0 && lightLoad <= 2 ? lightLoad : BST_UNCHECKED;
    return passed > BST_CHECKED ? BST_CHECKED : passed;
}

// A click on an automatic two-state check box: checked becomes unchecked, anything else checked.
LRESULT Clicked(LRESULT state) { return (state & BST_CHECKED) ? BST_UNCHECKED : BST_CHECKED; }

// How the units stand while the program runs: which SET status each uses next, and whether
// an exchange the program left behind with it is still inside the driver, so that the
// program does not ask the unit again.
struct UnitRun {
    const UnitPlan* plan = nullptr;
    std::size_t setsAnswered = 0;
    bool stuck = false;
};

// Whether the program takes the unit's answer: one that comes in time, or one that comes
// after the cancel it refused but within the program's second bound.
bool Answers(Hold hold) { return hold == Hold::None || hold == Hold::RefusesCancelThenEnds; }

// Whether the program leaves the unit's request behind, past both bounds.
bool LeftBehind(Hold hold) {
    return hold == Hold::RefusesCancelForLong || hold == Hold::SitsInDispatch;
}

struct WriteOutcome {
    bool answered = false;
    int combined = 0;
};

int Fold(int running, std::uint32_t status) {
    if (status == 2 || status == 3) return 2;
    if (status == 1 && running != 2) return 1;
    return running;
}

// One WriteDriverSettings: every unit there receives the buffer as the answering unit before
// it left it; a failed request, or one given up on, leaves the buffer as it was. A unit whose
// earlier request the driver still holds is not asked.
WriteOutcome Write(const Bytes& settings, const std::array<bool, Scenario::kUnits>& present,
                   std::array<UnitRun, Scenario::kUnits>& units, Expectation& expected) {
    ++expected.writes;
    Bytes buffer = settings;
    PutWord(buffer, kStatusOffset, 0);
    WriteOutcome outcome;
    for (int slot = 0; slot < Scenario::kUnits; ++slot) {
        if (!present[slot] || units[slot].stuck) continue;
        // The simulator's one dispatch thread keeps this unit's requests behind a routine
        // that sits, until it returns: the unit that sat is no longer stuck after that.
        for (auto& other : units)
            if (other.plan->hold == Hold::SitsInDispatch) other.stuck = false;
        expected.sets[slot].push_back(buffer);
        UnitRun& unit = units[slot];
        // Held past the bounds, failing or not: the program gives up on it, and whatever the
        // unit answers then, late, reaches neither the buffer nor the combined status.
        if (LeftBehind(unit.plan->hold)) unit.stuck = true;
        if (unit.plan->failMask & ORVEXSIM_FAIL_SET) continue;  // uses up no status
        const auto& statuses = unit.plan->setStatuses;
        const std::uint32_t status =
            unit.setsAnswered < statuses.size() ? statuses[unit.setsAnswered] : 0;
        ++unit.setsAnswered;
        if (status == ORVEXSIM_SET_FAILS) continue;
        if (!Answers(unit.plan->hold)) continue;
        // The unit keeps bytes 0 to 323 and answers them back with the status of this SET.
        PutWord(buffer, kStatusOffset, status);
        outcome.answered = true;
        outcome.combined = Fold(outcome.combined, status);
    }
    return outcome;
}

ScreenStep Step(ProgramScreen screen, UINT messageId = 0) {
    ScreenStep step;
    step.screen = screen;
    step.messageId = messageId;
    return step;
}

}  // namespace

Bytes DefaultRecordImage() {
    Bytes bytes(kRecordSize, 0);
    constexpr std::uint32_t kWords[] = {0, 0, 5, 0, 1, 0, 1, 0, 0, 1, 0};
    for (std::size_t i = 0; i < std::size(kWords); ++i)
        PutWord(bytes, kDefaultWordsOffset + 4 * i, kWords[i]);
    return bytes;
}

Expectation Predict(const Scenario& scenario) {
    Expectation expected;
    std::array<UnitRun, Scenario::kUnits> units;
    std::array<bool, Scenario::kUnits> atStart{};
    std::array<bool, Scenario::kUnits> atOk{};
    int count = 0;
    for (int slot = 0; slot < Scenario::kUnits; ++slot) {
        const UnitPlan& plan = scenario.units[slot];
        units[slot].plan = &plan;
        atStart[slot] = plan.plugged;
        atOk[slot] = (plan.plugged && !plan.unplugWhileOpen) || plan.plugWhileOpen;
        if (plan.plugged) ++count;
    }
    auto finish = [&](ProgramScreen last) {
        if (last != ProgramScreen::Ended) expected.screens.push_back(Step(last));
        expected.screens.push_back(Step(ProgramScreen::Ended));
        return expected;
    };
    if (count == 0) return finish(ProgramScreen::NoDevice);

    // The read: slots in order, up to the first whose GET succeeds.
    Bytes buffer = DefaultRecordImage();
    bool answered = false;
    for (int slot = 0; slot < Scenario::kUnits && !answered; ++slot) {
        if (!atStart[slot]) continue;
        expected.gets[slot].push_back(buffer);
        // Given up on, a failed call. A unit whose request the driver keeps past both bounds
        // is not asked again in this run, unless it only sat in its dispatch routine: the
        // next unit that answers the read waited for that routine to return.
        const Hold hold = scenario.units[slot].hold;
        if (hold == Hold::RefusesCancelForLong) units[slot].stuck = true;
        if (scenario.units[slot].failMask & ORVEXSIM_FAIL_GET) continue;
        if (!Answers(hold)) continue;
        const SimRecord& record = scenario.units[slot].record;
        buffer.assign(record.begin(), record.end());
        answered = true;
    }
    if (!answered || WordAt(buffer, kStatusOffset) == 0) return finish(ProgramScreen::NoDevice);

    ScreenStep settingsStep = Step(ProgramScreen::Settings);
    settingsStep.shownCheck = ShownCheck(static_cast<std::int32_t>(WordAt(buffer, kLightLoadOffset)));
    LRESULT check = settingsStep.shownCheck;
    if (scenario.toggle) {
        settingsStep.toggled = true;
        check = settingsStep.checkAfterToggle = Clicked(check);
    }
    expected.screens.push_back(settingsStep);
    if (!scenario.pressOk) return finish(ProgramScreen::Ended);

    // OK: the settings as read, lightLoad from the check box.
    Bytes settings = buffer;
    PutWord(settings, kLightLoadOffset, static_cast<std::uint32_t>(check));
    const WriteOutcome first = Write(settings, atOk, units, expected);
    if (!first.answered) return finish(ProgramScreen::NoDevice);
    if (first.combined == 2) {
        expected.screens.push_back(Step(ProgramScreen::MessageBox, IDS_CONF_MIDI));
        return finish(ProgramScreen::Ended);
    }
    if (first.combined == 1) {
        const WriteOutcome second = Write(settings, atOk, units, expected);
        if (!second.answered) return finish(ProgramScreen::NoDevice);
        if (second.combined == 1)
            expected.screens.push_back(Step(ProgramScreen::MessageBox, IDS_CONF_WAVE));
    }
    return finish(ProgramScreen::Ended);
}
