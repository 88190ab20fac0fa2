// The benchmark driver: Kzds0410.exe, its floor with the floor's variants and the bare
// baseline dialog program, started in turn under the same Wine prefix, each run timed from
// start to its ready dialog and from OK to its end, with its memory and the simulated unit's
// traffic. The raw figures go to a JSON file; scripts/bench has report.py turn them into
// docs/performance.md. No figure is judged here: with --check-traffic only the unit's traffic
// is, for the smoke test.

#include "BenchArguments.h"
#include "BenchUnit.h"
#include "DialogRun.h"
#include "ResultsFile.h"

#include "support/DriverKeyFixture.h"
#include "support/ProgramRun.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Time for Wine to finish tearing down a process before the next one starts.
constexpr DWORD kGapMs = 300;

constexpr const wchar_t* kReadmeNames[] = {
    L"Readme\\Readme_EN.htm", L"Readme\\Readme_DE.htm", L"Readme\\Readme_ES.htm",
    L"Readme\\Readme_FR.htm", L"Readme\\Readme_IT.htm", L"Readme\\Readme_JP.htm",
    L"Readme\\Readme_NL.htm", L"Readme\\Readme_PT.htm",
};

int Fail(const std::wstring& message) {
    std::fwprintf(stderr, L"quillset_bench: %ls\n", message.c_str());
    return 2;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

// The programs beside Kzds0410.exe, all in its folder: the floor, its variants with one
// start-up step of the program each (bench/floor/steps/) and the one with all the work the
// program must do, and the bare dialog program.
struct FloorProgram {
    const wchar_t* key;
    const wchar_t* file;
    UnitTraffic expectedTraffic;
    // The floor that does the required work shows what the program shows, and is ready when
    // the program would be: found as the program is found.
    ReadinessTest ready = BaselineDialogReady;
};

constexpr FloorProgram kFloorPrograms[] = {
    {L"floor", L"bench_floor.exe", kBaselineRunTraffic},
    {L"baseline", L"bench_baseline.exe", kBaselineRunTraffic},
    {L"floor_no_manifest", L"bench_floor_no_manifest.exe", kBaselineRunTraffic},
    {L"floor_common_controls", L"bench_floor_common_controls.exe", kBaselineRunTraffic},
    {L"floor_shell32", L"bench_floor_shell32.exe", kBaselineRunTraffic},
    {L"floor_toolchain_guard", L"bench_floor_toolchain_guard.exe", kBaselineRunTraffic},
    {L"floor_cpp_runtime", L"bench_floor_cpp_runtime.exe", kBaselineRunTraffic},
    {L"floor_device", L"bench_floor_device.exe", kProgramRunTraffic},
    {L"floor_driver_key", L"bench_floor_driver_key.exe", kBaselineRunTraffic},
    {L"floor_strings", L"bench_floor_strings.exe", kBaselineRunTraffic},
    {L"floor_program_template", L"bench_floor_program_template.exe", kBaselineRunTraffic},
    {L"floor_program_icon", L"bench_floor_program_icon.exe", kBaselineRunTraffic},
    {L"floor_required_work", L"bench_floor_required_work.exe", kProgramRunTraffic,
     SettingsDialogReady},
};

std::vector<ProgramSeries> AllSeries(const BenchArguments& arguments) {
    const std::wstring programPath = ProgramRun::ProgramPath();
    std::vector<ProgramSeries> series = {
        {L"program", {L"Kzds0410.exe", programPath, SettingsDialogReady}, kProgramRunTraffic, {}},
    };
    if (!arguments.earlierProgram.empty())
        series.push_back({L"earlier",
                          {L"earlier Kzds0410.exe", arguments.earlierProgram, SettingsDialogReady},
                          kProgramRunTraffic,
                          {}});
    for (const FloorProgram& floor : kFloorPrograms)
        series.push_back({floor.key,
                          {floor.file, FolderOf(programPath) + L"\\" + floor.file, floor.ready},
                          floor.expectedTraffic,
                          {}});
    return series;
}

// The driver as its installer leaves it: the key with the installation folder, version and
// copyright, and the README documents in that folder, so the dialog does all it does for a
// user.
bool InstallDriverKey(DriverKeyFixture& key, TemporaryFolder& folder, std::wstring& error) {
    for (const wchar_t* name : kReadmeNames) {
        if (!folder.CreateFileAt(name)) {
            error = L"could not create " + folder.Path() + L"\\" + name;
            return false;
        }
    }
    if (!key.CreateKey() || !key.SetText(nullptr, folder.Path()) ||
        !key.SetText(L"version", L"Version 1.0.0") ||
        !key.SetText(L"copyright", L"Copyright (C) Quillset benchmark")) {
        error = L"could not write the driver's registry key";
        return false;
    }
    return true;
}

bool MeasureOnce(BenchUnit& unit, const ProgramSeries& series, MeasuredRun& run,
                 std::wstring& error) {
    if (!unit.BeginRun(error)) return false;
    if (!MeasureDialogRun(series.program, run.figures, error)) return false;
    return unit.EndRun(run.traffic, error);
}

void PrintRun(int index, const ProgramSeries& series, const MeasuredRun& run) {
    const bool expected = SameTraffic(run.traffic, series.expectedTraffic);
    std::wprintf(L"run %3d %-32ls start-to-ready %8.1f ms  OK-to-exit %7.1f ms  "
                 L"opens %lu, requests %lu%ls\n",
                 index, series.program.name.c_str(), run.figures.startToReadyMs,
                 run.figures.okToExitMs, run.traffic.opens, run.traffic.requests,
                 expected ? L"" : L"  (not the expected traffic)");
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    BenchArguments arguments;
    std::wstring error;
    if (!ParseBenchArguments(argc, argv, arguments, error)) {
        std::fwprintf(stderr, L"quillset_bench: %ls\n%ls", error.c_str(), kBenchUsage);
        return 2;
    }

    BenchResults results;
    results.warmup = arguments.warmup;
    results.gapMs = kGapMs;
    results.series = AllSeries(arguments);

    BenchUnit unit;
    if (!unit.Prepare(error)) return Fail(error);
    DriverKeyFixture key;
    TemporaryFolder folder;
    if (!InstallDriverKey(key, folder, error)) return Fail(error);

    for (int i = 0; i < arguments.warmup; ++i) {
        for (const ProgramSeries& series : results.series) {
            MeasuredRun run;
            if (!MeasureOnce(unit, series, run, error)) return Fail(L"warm-up: " + error);
            ::Sleep(kGapMs);
        }
    }

    // Every program once per round, in list order; each round starts one program further
    // along than the round before, so that the first place falls on each in turn.
    bool trafficAsExpected = true;
    const std::size_t count = results.series.size();
    for (int i = 0; i < arguments.runs; ++i) {
        for (std::size_t k = 0; k < count; ++k) {
            ProgramSeries& series = results.series[(static_cast<std::size_t>(i) + k) % count];
            MeasuredRun run;
            if (!MeasureOnce(unit, series, run, error))
                return Fail(L"run " + std::to_wstring(i + 1) + L": " + error);
            if (!SameTraffic(run.traffic, series.expectedTraffic)) trafficAsExpected = false;
            series.runs.push_back(run);
            PrintRun(i + 1, series, run);
            ::Sleep(kGapMs);
        }
    }

    if (!WriteResultsFile(arguments.out, results, error)) return Fail(error);
    if (arguments.checkTraffic && !trafficAsExpected) {
        std::fwprintf(stderr, L"quillset_bench: the unit's traffic differed from the expected "
                              L"traffic of a run (%lu opens and %lu requests for the program)\n",
                      kProgramRunTraffic.opens, kProgramRunTraffic.requests);
        return 1;
    }
    return 0;
}
