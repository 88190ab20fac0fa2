// The verdict: a run that did what the model said is clean, and each kind of difference is
// caught and named so that it can be found again.
#include "SoakCases.h"
#include "Verdict.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kGet = 0x002221E8;
constexpr DWORD kSet = 0x002221EC;

SimRequest Request(DWORD code, const Bytes& input) {
    SimRequest request;
    request.code = code;
    request.inputLength = request.outputLength = 328;
    request.input = input;
    return request;
}

// A run that went exactly as expected.
Observation AsExpected(const Expectation& expected) {
    Observation seen;
    seen.exited = true;
    seen.screens = expected.screens;
    for (int slot = 0; slot < Scenario::kUnits; ++slot) {
        for (const Bytes& input : expected.gets[slot]) seen.requests[slot].push_back(Request(kGet, input));
        for (const Bytes& input : expected.sets[slot]) seen.requests[slot].push_back(Request(kSet, input));
    }
    return seen;
}

Expectation TwoUnitsRetried() {
    Scenario scenario = EmptyScenario();
    PlugUnit(scenario, 1, 0, {1, 1});
    PlugUnit(scenario, 3, 1, {0, 0});
    return Predict(scenario);
}

bool Mentions(const Verdict& verdict, const std::string& text) {
    for (const std::string& finding : verdict.findings)
        if (finding.find(text) != std::string::npos) return true;
    return false;
}

TEST(SoakVerdict, ARunAsTheModelSaysIsClean) {
    const Expectation expected = TwoUnitsRetried();
    const Verdict verdict = Judge(expected, AsExpected(expected));
    EXPECT_TRUE(verdict.Clean());
    EXPECT_TRUE(verdict.findings.empty());
}

TEST(SoakVerdict, AChangedByteInASetIsAWrongWriteNamingUnitSetAndByte) {
    const Expectation expected = TwoUnitsRetried();
    Observation seen = AsExpected(expected);
    seen.requests[2][1].input[312] ^= 1;  // unit 3's second SET
    const Verdict verdict = Judge(expected, seen);
    EXPECT_TRUE(verdict.wrongWrites);
    EXPECT_FALSE(verdict.wrongScreens || verdict.wrongReads || verdict.crashed || verdict.hung);
    EXPECT_TRUE(Mentions(verdict, "unit 3 SET #2: byte 312")) << verdict.findings.front();
}

TEST(SoakVerdict, AMissingOrExtraSetIsAWrongWrite) {
    const Expectation expected = TwoUnitsRetried();
    Observation missing = AsExpected(expected);
    missing.requests[0].pop_back();
    EXPECT_TRUE(Judge(expected, missing).wrongWrites);
    EXPECT_TRUE(Mentions(Judge(expected, missing), "unit 1: 1 SETs, expected 2"));

    Observation extra = AsExpected(expected);
    extra.requests[1].push_back(Request(kSet, expected.sets[0][0]));
    EXPECT_TRUE(Judge(expected, extra).wrongWrites);
}

TEST(SoakVerdict, AStatusWordOtherThanTheModelsIsAWrongWrite) {
    const Expectation expected = TwoUnitsRetried();
    Observation seen = AsExpected(expected);
    seen.requests[2][0].input[324] = 0;  // unit 3 should receive unit 1's status 1
    EXPECT_TRUE(Mentions(Judge(expected, seen), "unit 3 SET #1: byte 324 is 0x00, expected 0x01"));
}

TEST(SoakVerdict, OnlyTheDefaultWordsOfAGetAreJudged) {
    const Expectation expected = TwoUnitsRetried();
    Observation seen = AsExpected(expected);
    seen.requests[0][0].input[0] = 0x5A;    // the entries of a read's buffer are the program's own
    seen.requests[0][0].input[324] = 0x33;  // and so is its status word
    EXPECT_TRUE(Judge(expected, seen).Clean());
    seen.requests[0][0].input[288] = 4;  // the default word 288 is 5
    const Verdict verdict = Judge(expected, seen);
    EXPECT_TRUE(verdict.wrongReads);
    EXPECT_FALSE(verdict.wrongWrites);
}

TEST(SoakVerdict, AnotherScreenOrMessageIsAWrongScreen) {
    const Expectation expected = TwoUnitsRetried();
    Observation seen = AsExpected(expected);
    seen.screens[1].messageId = 33091;
    const Verdict verdict = Judge(expected, seen);
    EXPECT_TRUE(verdict.wrongScreens);
    EXPECT_TRUE(Mentions(verdict, "message 33091 > end; expected settings(check 0) > message 33090"));

    Observation check = AsExpected(expected);
    check.screens[0].shownCheck = BST_CHECKED;
    EXPECT_TRUE(Judge(expected, check).wrongScreens);
}

TEST(SoakVerdict, ACrashOrHangIsCountedAsThatAloneAndASoakErrorJudgesNothing) {
    const Expectation expected = TwoUnitsRetried();
    Observation crash;
    crash.crashed = true;
    crash.trouble = "exit code 3221225477";
    const Verdict crashed = Judge(expected, crash);
    EXPECT_TRUE(crashed.crashed);
    EXPECT_FALSE(crashed.wrongWrites || crashed.wrongScreens || crashed.hung);

    Observation hang;
    hang.hung = true;
    EXPECT_TRUE(Judge(expected, hang).hung);

    Observation broken = AsExpected(expected);
    broken.harnessError = "cannot plug unit 2";
    const Verdict soak = Judge(expected, broken);
    EXPECT_TRUE(soak.harnessError);
    EXPECT_FALSE(soak.Clean());
    EXPECT_FALSE(soak.crashed || soak.hung || soak.wrongWrites);
}

TEST(SoakVerdict, ARequestWithAnotherCodeIsAWrongWrite) {
    const Expectation expected = TwoUnitsRetried();
    Observation seen = AsExpected(expected);
    seen.requests[3].push_back(Request(0x00222000, Bytes(328, 0)));
    EXPECT_TRUE(Mentions(Judge(expected, seen), "unit 4: a request with code 0x00222000"));
}

}  // namespace
