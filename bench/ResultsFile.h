#pragma once
// The benchmark's raw figures, one entry per measured run, as a JSON file (UTF-8) for
// report.py, which computes the summaries and writes docs/performance.md.

#include "BenchUnit.h"
#include "DialogRun.h"

#include <string>
#include <vector>

struct MeasuredRun {
    RunFigures figures;
    UnitTraffic traffic;
};

struct ProgramSeries {
    std::wstring key;  // "program", "floor", "baseline", "floor_<step>" or "earlier"
    DialogProgram program;
    UnitTraffic expectedTraffic;
    std::vector<MeasuredRun> runs;
};

struct BenchResults {
    int warmup = 0;
    DWORD gapMs = 0;
    std::vector<ProgramSeries> series;
};

bool WriteResultsFile(const std::wstring& path, const BenchResults& results,
                      std::wstring& error);
