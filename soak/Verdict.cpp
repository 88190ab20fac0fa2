#include "Verdict.h"

#include <cstdio>

namespace {

// The ORVEX's two control codes, written out here rather than taken from the program.
constexpr DWORD kGetSettings = 0x002221E8;
constexpr DWORD kSetSettings = 0x002221EC;

constexpr std::size_t kRecordSize = ORVEXSIM_RECORD_SIZE;

std::string Hex(unsigned value, int digits) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string UnitName(int slot) { return "unit " + std::to_string(slot + 1); }

// The first byte in [from, to) where the request's input differs from the expected bytes.
bool FirstDifference(const SimRequest& request, const Bytes& expected, std::size_t from,
                     std::size_t to, std::string& difference) {
    if (request.inputLength != kRecordSize || request.outputLength != kRecordSize ||
        request.input.size() != kRecordSize) {
        difference = "lengths in " + std::to_string(request.inputLength) + " out " +
                     std::to_string(request.outputLength) + ", expected 328/328";
        return true;
    }
    for (std::size_t i = from; i < to; ++i) {
        if (request.input[i] == expected[i]) continue;
        std::size_t count = 0;
        for (std::size_t j = from; j < to; ++j) count += request.input[j] != expected[j];
        difference = "byte " + std::to_string(i) + " is " + Hex(request.input[i], 2) +
                     ", expected " + Hex(expected[i], 2) + " (" + std::to_string(count) +
                     " bytes differ)";
        return true;
    }
    return false;
}

// Compares one code's requests at one unit; bytes [from, to) of each input are checked.
bool CompareRequests(int slot, const char* name, DWORD code, const std::vector<SimRequest>& log,
                     const std::vector<Bytes>& expected, std::size_t from, std::size_t to,
                     std::vector<std::string>& findings) {
    std::vector<const SimRequest*> got;
    for (const SimRequest& request : log)
        if (request.code == code) got.push_back(&request);
    bool wrong = false;
    if (got.size() != expected.size()) {
        findings.push_back(UnitName(slot) + ": " + std::to_string(got.size()) + " " + name +
                           "s, expected " + std::to_string(expected.size()));
        wrong = true;
    }
    for (std::size_t k = 0; k < got.size() && k < expected.size(); ++k) {
        std::string difference;
        if (FirstDifference(*got[k], expected[k], from, to, difference)) {
            findings.push_back(UnitName(slot) + " " + name + " #" + std::to_string(k + 1) + ": " +
                               difference);
            wrong = true;
        }
    }
    return wrong;
}

}  // namespace

Verdict Judge(const Expectation& expected, const Observation& seen) {
    Verdict verdict;
    if (!seen.harnessError.empty()) {
        verdict.harnessError = true;
        verdict.findings.push_back("soak: " + seen.harnessError);
        return verdict;
    }
    if (seen.crashed || seen.hung) {
        (seen.crashed ? verdict.crashed : verdict.hung) = true;
        verdict.findings.push_back(std::string(seen.crashed ? "crash: " : "hang: ") + seen.trouble +
                                   "; screens so far: " + Render(seen.screens));
        return verdict;
    }
    if (seen.screens != expected.screens) {
        verdict.wrongScreens = true;
        verdict.findings.push_back("screens: " + Render(seen.screens) + "; expected " +
                                   Render(expected.screens));
    }
    for (int slot = 0; slot < Scenario::kUnits; ++slot) {
        const std::vector<SimRequest>& log = seen.requests[slot];
        // The settings part and the status word of every SET; the default words of every GET,
        // since the rest of a read's buffer is the program's own business.
        if (CompareRequests(slot, "SET", kSetSettings, log, expected.sets[slot], 0,
                            kRecordSize, verdict.findings))
            verdict.wrongWrites = true;
        if (CompareRequests(slot, "GET", kGetSettings, log, expected.gets[slot],
                            kDefaultWordsOffset, ORVEXSIM_STATUS_OFFSET, verdict.findings))
            verdict.wrongReads = true;
        for (const SimRequest& request : log) {
            if (request.code == kSetSettings || request.code == kGetSettings) continue;
            verdict.findings.push_back(UnitName(slot) + ": a request with code " +
                                       Hex(request.code, 8));
            verdict.wrongWrites = true;
        }
    }
    return verdict;
}
