// A second start while the program runs: it brings the running copy's window to the front
// and ends without a window of its own.
#include "ProgramFixture.h"

#include <cstdlib>

namespace {

class SecondCopy : public ProgramTest {
protected:
    // The running copy's window, hidden and behind a window of this test, so that the
    // second copy has something to do.
    void PutAway(HWND window) {
        ShowWindow(window, SW_HIDE);
        // Another process's window hides once that process has read the request.
        ASSERT_TRUE(WaitForWindowGone(window, ProgramRun::kWaitMs));
        PutTestWindowInFront();
    }

    // A window of this test in front, with the keyboard.
    void PutTestWindowInFront() {
        front = CreateWindowExW(0, L"STATIC", L"Quillset test: in front", WS_POPUP | WS_VISIBLE,
                                0, 0, 120, 40, nullptr, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
        ASSERT_NE(front, nullptr);
        SetForegroundWindow(front);
        ASSERT_EQ(GetForegroundWindow(), front);
    }

    // Starts another copy and checks that it ends, having shown nothing.
    void ExpectSecondCopyGivesWay(const std::wstring& path = ProgramRun::ProgramPath()) {
        ProgramRun second;
        ASSERT_TRUE(second.Start(path)) << second.StartFailure();
        bool showedWindow = false;
        EXPECT_TRUE(second.EndsWithoutAWindow(ProgramRun::kWaitMs, showedWindow));
        EXPECT_FALSE(showedWindow);
    }

    void ExpectInFront(HWND window) {
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(GetForegroundWindow(), window);
    }

    // After OK the settings dialog, disabled under message 33091 or beside the
    // device-not-connected dialog, would take no key: the window over it comes to the front
    // instead, and Enter reaches its OK button. The device-not-connected dialog has no owner,
    // so the settings dialog is put above it first, as a click on it would.
    void ExpectTheWindowOverTheSettingsDialogInFront(ProgramScreen after) {
        Plug(1, Record(0x24, 0), {after == ProgramScreen::MessageBox ? 2u : ORVEXSIM_SET_FAILS});
        const HWND dialog = StartToSettings();
        ASSERT_NE(dialog, nullptr);
        ClickButton(dialog, IDOK);
        const HWND over = ExpectScreen(after);
        ASSERT_NE(over, nullptr);
        if (after == ProgramScreen::MessageBox) {
            ASSERT_EQ(GetWindow(over, GW_OWNER), dialog);
        }
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        PutTestWindowInFront();
        ExpectSecondCopyGivesWay();
        ExpectInFront(over);
        ASSERT_FALSE(HasFailure()) << "Enter would reach no button";
        EXPECT_FALSE(IsWindowEnabled(dialog));
        ASSERT_TRUE(PressKey(VK_RETURN));
        ExpectEndsQuietly();
        EXPECT_EQ(Writes(1).size(), 1u);
    }

    void TearDown() override {
        if (front) DestroyWindow(front);
    }

    HWND front = nullptr;
};

TEST_F(SecondCopy, WhileTheSettingsDialogShowsBringsItToTheFront) {
    Plug(1, Record(0x21, 0));
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    PutAway(dialog);
    ExpectSecondCopyGivesWay();
    ExpectInFront(dialog);
    EXPECT_TRUE(program.Running());
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly();
    // One read, by the first copy; the second never touched the units.
    EXPECT_EQ(Reads(1).size(), 1u);
}

TEST_F(SecondCopy, WhileTheDeviceNotConnectedDialogShowsBringsThatToTheFront) {
    ASSERT_TRUE(program.Start()) << program.StartFailure();
    const HWND noDevice = ExpectScreen(ProgramScreen::NoDevice);
    ASSERT_NE(noDevice, nullptr);
    PutAway(noDevice);
    ExpectSecondCopyGivesWay();
    ExpectInFront(noDevice);
    ClickButton(noDevice, IDOK);
    ExpectEndsQuietly();
}

TEST_F(SecondCopy, AfterOkBringsMessage33091ToTheFront) {
    ExpectTheWindowOverTheSettingsDialogInFront(ProgramScreen::MessageBox);
}

TEST_F(SecondCopy, AfterOkBringsTheDeviceNotConnectedDialogToTheFront) {
    ExpectTheWindowOverTheSettingsDialogInFront(ProgramScreen::NoDevice);
}

TEST_F(SecondCopy, UnderAnotherFileNameStillFindsTheRunningCopy) {
    const std::wstring renamed = folder.Path() + L"\\Renamed Settings.exe";
    ASSERT_TRUE(CopyFileW(ProgramRun::ProgramPath().c_str(), renamed.c_str(), FALSE));
    Plug(1, Record(0x22, 0));
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    PutAway(dialog);
    ExpectSecondCopyGivesWay(renamed);
    ExpectInFront(dialog);
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly();
}

TEST_F(SecondCopy, OfTwoCopiesStartedTogetherOneShowsItsDialog) {
    Plug(1, Record(0x23, 0));
    ProgramRun other;
    ASSERT_TRUE(program.Start()) << program.StartFailure();
    ASSERT_TRUE(other.Start()) << other.StartFailure();
    // Whichever wins, exactly one shows the settings dialog and the other ends.
    const ULONGLONG end = GetTickCount64() + ProgramRun::kWaitMs;
    while (program.Running() && other.Running() && GetTickCount64() < end) Sleep(20);
    ProgramRun& ended = program.Running() ? other : program;
    ProgramRun& shown = program.Running() ? program : other;
    EXPECT_FALSE(ended.Running());
    const HWND dialog = ExpectScreen(shown, ProgramScreen::Settings);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(FindTopWindows(ended.Id(), nullptr, nullptr).size(), 0u);
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly(shown);
    EXPECT_EQ(Reads(1).size(), 1u);
}

}  // namespace
