// The watch for crashes and hangs, against a program that crashes or hangs on purpose.
#include "ScreenWatch.h"

#include <gtest/gtest.h>

namespace {

std::wstring MisbehaverPath() {
    std::wstring program = ProgramRun::ProgramPath();
    return program.substr(0, program.rfind(L'\\')) + L"\\soak_misbehaver.exe";
}

TEST(SoakScreenWatch, ACrashEndsTheProgramWithTheExceptionsCodeAndNoDialog) {
    // The project's prefixes have Wine's crash dialog off (scripts/wine-env.sh): the debugger
    // prints its backtrace and lets the crashed process end.
    ProgramRun run;
    ASSERT_TRUE(run.Start(MisbehaverPath(), {L"SOAK_MISBEHAVE=crash"})) << run.StartFailure();
    const WatchResult result = WaitForNextScreen(run, {}, ProgramRun::kWaitMs);
    EXPECT_EQ(result.outcome, WatchOutcome::Ended) << result.detail;
    DWORD code = 0;
    ASSERT_TRUE(run.WaitForExit(ProgramRun::kWaitMs, &code));
    EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_FALSE(IsNormalExitCode(code)) << code;
    EXPECT_TRUE(FindCrashDialogs().empty());
}

TEST(SoakScreenWatch, AProgramThatShowsNothingTimesOut) {
    ProgramRun run;
    ASSERT_TRUE(run.Start(MisbehaverPath(), {L"SOAK_MISBEHAVE=hang"})) << run.StartFailure();
    const WatchResult result = WaitForNextScreen(run, {}, 1500);
    EXPECT_EQ(result.outcome, WatchOutcome::TimedOut);
    EXPECT_TRUE(run.Running());
}

TEST(SoakScreenWatch, AnExitCodeOtherThanTheProgramsOwnIsACrash) {
    ProgramRun run;
    ASSERT_TRUE(run.Start(MisbehaverPath(), {L"SOAK_MISBEHAVE=exit7"})) << run.StartFailure();
    EXPECT_EQ(WaitForNextScreen(run, {}, ProgramRun::kWaitMs).outcome, WatchOutcome::Ended);
    DWORD code = 0;
    ASSERT_TRUE(run.WaitForExit(ProgramRun::kWaitMs, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_FALSE(IsNormalExitCode(code));
    for (DWORD normal : {0u, 1u, 2u}) EXPECT_TRUE(IsNormalExitCode(normal));
}

}  // namespace
