// The fault soak: Kzds0410.exe run again and again against simulated units set up at random
// (which units, their records, how they answer each GET and SET, failures, delays, units
// removed while the dialog is open), driven as a user would, and held against a model of what
// it should have shown and sent. Prints the seed, a line for each failing run and the totals;
// exits 0 only when no run crashed, hung, wrote, read or showed anything the model did not.

#include "Drive.h"
#include "Model.h"
#include "ProgramTexts.h"
#include "Scenario.h"
#include "ScreenWatch.h"
#include "SoakOptions.h"
#include "Verdict.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

struct Tally {
    unsigned runs = 0, crashes = 0, hangs = 0, wrongWrites = 0, wrongReads = 0,
             wrongScreens = 0, soakErrors = 0;
    std::map<std::string, unsigned> paths;  // which way the runs went
    unsigned holding = 0, sitting = 0, inputAfterOk = 0, inputWhileHolding = 0;

    void Add(const Scenario& scenario) {
        bool held = false, sat = false;
        for (const UnitPlan& unit : scenario.units) {
            held |= unit.hold != Hold::None;
            sat |= unit.hold == Hold::SitsInDispatch;
        }
        holding += held;
        sitting += sat;
        inputAfterOk += scenario.inputAfterOk;
        inputWhileHolding += held && scenario.inputAfterOk;
    }

    void Add(const Verdict& verdict) {
        ++runs;
        crashes += verdict.crashed;
        hangs += verdict.hung;
        wrongWrites += verdict.wrongWrites;
        wrongReads += verdict.wrongReads;
        wrongScreens += verdict.wrongScreens;
        soakErrors += verdict.harnessError;
    }
    bool AllZero() const {
        return crashes + hangs + wrongWrites + wrongReads + wrongScreens + soakErrors == 0;
    }
};

// The way a run is expected to go, without the check box, e.g.
// "settings > message 33090 > end, 2 writes".
std::string PathOf(const Expectation& expected) {
    std::string path;
    for (const ScreenStep& step : expected.screens) {
        if (!path.empty()) path += " > ";
        if (step.screen == ProgramScreen::Settings) path += "settings";
        else path += Render({step});
    }
    path += ", " + std::to_string(expected.writes);
    path += expected.writes == 1 ? " write" : " writes";
    return path;
}

std::uint64_t SeedFromClock() {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    return static_cast<std::uint64_t>(counter.QuadPart) ^
           (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 40);
}

void PrintRun(unsigned index, const Scenario& scenario, const Expectation& expected,
              const Verdict& verdict) {
    const unsigned long long seed = scenario.seed;
    if (verdict.Clean()) {
        std::printf("ok   run %u, seed %llu: %s\n       %s\n", index, seed,
                    Describe(scenario).c_str(), Render(expected.screens).c_str());
        return;
    }
    std::printf("FAIL run %u, seed %llu (replay: --seed %llu --runs 1)\n", index, seed, seed);
    std::printf("  plan: %s\n  expected: %s\n", Describe(scenario).c_str(),
                Render(expected.screens).c_str());
    for (const std::string& finding : verdict.findings) std::printf("  - %s\n", finding.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SoakOptions options;
    std::string error;
    if (!ParseSoakOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "soak: %s\n%s", error.c_str(), kSoakUsage);
        return 2;
    }
    if (options.help) {
        std::printf("%s", kSoakUsage);
        return 0;
    }
    if (!options.seedGiven) options.seed = SeedFromClock();

    ProgramTexts texts;
    if (!texts.Load(ProgramRun::ProgramPath(), error)) {
        std::fprintf(stderr, "soak: %s\n", error.c_str());
        return 2;
    }
    SimControl sim;
    if (!sim.Connect()) {
        std::fprintf(stderr, "soak: the simulated driver does not answer: %s\n",
                     Narrow(sim.LastError()).c_str());
        return 2;
    }

    std::printf("soak: seed %llu, %u runs, at most %u s\n",
                static_cast<unsigned long long>(options.seed), options.runs, options.maxSeconds);
    std::fflush(stdout);
    Tally tally;
    const ULONGLONG start = ::GetTickCount64();
    for (unsigned i = 0; i < options.runs; ++i) {
        if (::GetTickCount64() - start >= 1000ull * options.maxSeconds) {
            std::printf("soak: time is up after %u of %u runs\n", i, options.runs);
            break;
        }
        const Scenario scenario = MakeScenario(options.seed + i);
        const Expectation expected = Predict(scenario);
        const Observation seen = RunScenario(sim, scenario, texts);
        const Verdict verdict = Judge(expected, seen);
        tally.Add(verdict);
        ++tally.paths[PathOf(expected)];
        tally.Add(scenario);
        if (options.verbose || !verdict.Clean()) PrintRun(i, scenario, expected, verdict);
        std::fflush(stdout);
    }
    sim.Reset();  // leaves no unit plugged for whoever comes next

    const double seconds = static_cast<double>(::GetTickCount64() - start) / 1000.0;
    std::printf("soak: paths:\n");
    for (const auto& [path, count] : tally.paths) std::printf("  %4u  %s\n", count, path.c_str());
    std::printf("soak: a unit holding in %u runs (sitting in its dispatch routine in %u); input "
                "after OK in %u runs, %u of them with a unit holding\n",
                tally.holding, tally.sitting, tally.inputAfterOk, tally.inputWhileHolding);
    std::printf("soak: runs %u, crashes %u, hangs %u, wrong writes %u, wrong reads %u, "
                "wrong screens %u, soak errors %u; %.1f s (seed %llu)\n",
                tally.runs, tally.crashes, tally.hangs, tally.wrongWrites, tally.wrongReads,
                tally.wrongScreens, tally.soakErrors, seconds,
                static_cast<unsigned long long>(options.seed));
    return tally.AllZero() ? 0 : 1;
}
