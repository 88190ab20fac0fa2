#include "ResultsFile.h"

#include "framework/UniqueHandle.h"

#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                          size, nullptr, nullptr);
    return out;
}

std::string Quoted(const std::wstring& text) {
    std::string out = "\"";
    for (char c : Utf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Ms(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string Count(unsigned long long value) { return std::to_string(value); }

const char* Bool(bool value) { return value ? "true" : "false"; }

std::string Memory(const MemoryFigures& memory) {
    return std::string("{\"known\": ") + Bool(memory.known) +
           ", \"peak_working_set\": " + Count(memory.peakWorkingSet) +
           ", \"working_set\": " + Count(memory.workingSet) +
           ", \"pagefile_usage\": " + Count(memory.pagefileUsage) +
           ", \"peak_pagefile_usage\": " + Count(memory.peakPagefileUsage) +
           ", \"private_bytes\": " + Count(memory.privateBytes) + "}";
}

std::string Traffic(const UnitTraffic& traffic) {
    return "{\"opens\": " + Count(traffic.opens) + ", \"requests\": " +
           Count(traffic.requests) + ", \"gets\": " + Count(traffic.gets) +
           ", \"sets\": " + Count(traffic.sets) + ", \"other_codes\": " +
           Count(traffic.otherCodes) + ", \"other_unit_opens\": " +
           Count(traffic.otherUnitOpens) + ", \"sets_kept_light_load\": " +
           Bool(traffic.setsKeptLightLoad) + "}";
}

std::string Names(const std::vector<std::wstring>& names) {
    std::string out = "[";
    for (std::size_t i = 0; i < names.size(); ++i) out += (i ? ", " : "") + Quoted(names[i]);
    return out + "]";
}

// In the order of StepMark and StepSpan.
constexpr const char* kStepMarkNames[] = {
    "EntryBegins", "HardeningDone", "WinMainBegins", "StartUpBegins", "CommonControlsDone",
    "MutexDone", "DialogBegins", "InitDialogBegins", "IconSet", "UnitsCounted", "SettingsRead",
    "DriverInfoShown", "TextsSet", "OwnInitDone", "InitDialogDone", "OkBegins", "WritesDone",
    "DialogEnding", "DialogEnded", "WorkerEnded", "ProcessEnds"};
static_assert(std::size(kStepMarkNames) == static_cast<std::size_t>(StepMark::Count));
constexpr const char* kStepSpanNames[] = {"Exchanges", "DeviceSteps", "WorkerStarts"};
static_assert(std::size(kStepSpanNames) == static_cast<std::size_t>(StepSpan::Count));

// Marks not stamped are null.
std::string Steps(const StepFigures& steps) {
    std::string out = "{\"marks\": {";
    for (std::size_t i = 0; i < steps.atMs.size(); ++i)
        out += std::string(i ? ", " : "") + "\"" + kStepMarkNames[i] + "\": " +
               (steps.atMs[i] < 0 ? std::string("null") : Ms(steps.atMs[i]));
    out += "}, \"spans\": {";
    for (std::size_t i = 0; i < steps.spentMs.size(); ++i)
        out += std::string(i ? ", " : "") + "\"" + kStepSpanNames[i] + "\": {\"start_ms\": " +
               Ms(steps.spentMs[i][0]) + ", \"start_count\": " +
               std::to_string(steps.spans[i][0]) + ", \"ok_ms\": " + Ms(steps.spentMs[i][1]) +
               ", \"ok_count\": " + std::to_string(steps.spans[i][1]) + "}";
    return out + "}}";
}

std::string Run(const MeasuredRun& run) {
    const RunFigures& f = run.figures;
    return "{\"start_to_ready_ms\": " + Ms(f.startToReadyMs) +
           ", \"ok_to_exit_ms\": " + Ms(f.okToExitMs) +
           ", \"clicked_ms\": " + Ms(f.clickedMs) +
           ",\n       \"steps\": " + Steps(f.steps) +
           ",\n       \"before_ok\": " + Memory(f.beforeOk) +
           ",\n       \"after_exit\": " + Memory(f.afterExit) +
           ",\n       \"modules\": " + Names(f.modules) +
           ", \"exit_code\": " + Count(f.exitCode) +
           ",\n       \"traffic\": " + Traffic(run.traffic) + "}";
}

std::string Series(const ProgramSeries& series) {
    std::string out = Quoted(series.key) + ": {\"name\": " + Quoted(series.program.name) +
                      ", \"path\": " + Quoted(series.program.path) +
                      ",\n    \"expected_traffic\": " + Traffic(series.expectedTraffic) +
                      ",\n    \"runs\": [";
    for (std::size_t i = 0; i < series.runs.size(); ++i)
        out += (i ? ",\n      " : "\n      ") + Run(series.runs[i]);
    return out + "]}";
}

}  // namespace

bool WriteResultsFile(const std::wstring& path, const BenchResults& results,
                      std::wstring& error) {
    std::string text = "{\"warmup\": " + Count(static_cast<unsigned long long>(results.warmup)) +
                       ", \"ready_poll_ms\": " + Count(kReadyPollMs) +
                       ", \"gap_ms\": " + Count(results.gapMs) + ",\n  \"series\": {";
    for (std::size_t i = 0; i < results.series.size(); ++i)
        text += (i ? ",\n  " : "\n  ") + Series(results.series[i]);
    text += "}}\n";

    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                              nullptr) ||
        written != text.size()) {
        error = L"could not write " + path + L" (error " + std::to_wstring(::GetLastError()) +
                L")";
        return false;
    }
    return true;
}
