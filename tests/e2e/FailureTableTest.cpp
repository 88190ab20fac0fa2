// What the user sees, and what reaches each unit, in every case of the driver's answers: no
// unit, a failed read, the answers to the first write and to the retry.
#include "ProgramFixture.h"

#include "OrvexDevice.h"
#include "support/HtmHandler.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr wchar_t kNoDeviceText[] =
    L"To make settings, connect the device and then execute once again.";
constexpr wchar_t kDeviceInUse[] =
    L"Device currently used by another application.\nTo have settings take effect, quit all "
    L"such applications, then restart the application.";
constexpr wchar_t kPowerCycle[] =
    L"To have settings changes take effect, switch the power off, then on again.";
constexpr wchar_t kTitle[] = L"ORVEX Driver Settings";
constexpr wchar_t kAppTitle[] = L" ";  // string 57344, one blank in every language
constexpr wchar_t kOpenRecorder[] = L"quillset_open_recorder.exe";

using FailureTable = ProgramTest;

// The device-not-connected dialog, as it shows, closed with OK.
void ExpectNoDeviceDialogAndClose(HWND dialog) {
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), kTitle);
    EXPECT_EQ(ControlText(dialog, IDC_NODEV_TEXT), kNoDeviceText);
    ClickButton(dialog, IDOK);
}

void ExpectMessageBoxAndClose(HWND box, const wchar_t* text) {
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), kAppTitle);
    EXPECT_EQ(MessageBoxText(box), text);
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    ClickButton(box, IDOK);
}

TEST_F(FailureTable, NoUnitAtStartShowsOnlyTheDeviceNotConnectedDialog) {
    ASSERT_TRUE(program.Start()) << program.StartFailure();
    ExpectNoDeviceDialogAndClose(ExpectScreen(ProgramScreen::NoDevice));
    ExpectEndsQuietly();
}

TEST_F(FailureTable, AFailedReadShowsTheDeviceNotConnectedDialogAndTheDialogBehindDoesNothing) {
    const struct {
        const char* name;
        DWORD failMask;
        std::uint32_t getStatus;
    } cases[] = {
        {"the read fails at the unit", ORVEXSIM_FAIL_GET, 1},
        {"the unit answers status 0", 0, 0},
    };
    ASSERT_TRUE(folder.CreateFileAt(kReadme));
    HtmHandler handler(ThisProgramFolder() + L"\\" + kOpenRecorder);
    ASSERT_TRUE(handler.Ready());
    const std::wstring record = folder.Path() + L"\\opened.txt";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(sim.Reset()) << sim.LastError();
        Plug(2, Record(0x20, 1, c.getStatus));
        ASSERT_TRUE(sim.SetFailing(2, c.failMask)) << sim.LastError();
        DeleteFileW(record.c_str());
        ProgramRun run;
        ASSERT_TRUE(run.Start(ProgramRun::ProgramPath(), {L"QS_OPEN_RECORD=" + record}))
            << run.StartFailure();
        const HWND noDevice = ExpectScreen(run, ProgramScreen::NoDevice);
        ASSERT_NE(noDevice, nullptr);
        // The settings dialog behind it, hidden and disabled, has no record to write and is
        // ending: README, Cancel, "Close window" and OK sent to it by any route, the window
        // enabled first, do nothing. README goes first: any of the others, acted on, would
        // begin the dialog's end, after which nothing is acted on anyway.
        const auto dialogs = FindTopWindows(run.Id(), L"#32770", nullptr, true);
        ASSERT_EQ(dialogs.size(), 2u);
        for (HWND dialog : dialogs) {
            if (dialog == noDevice) continue;
            EnableAndSendFromOutside(dialog, WM_COMMAND, MAKEWPARAM(IDC_README, BN_CLICKED));
            EnableAndSendFromOutside(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
            EnableAndSendFromOutside(dialog, WM_CLOSE, 0);
            EnableAndPressOkFromOutside(dialog);
        }
        EXPECT_EQ(run.Current().window, noDevice);
        // Its own README button opens the document: the run's one open. An open by the dialog
        // behind would have started its handler first; once no handler runs, both have written.
        ClickButton(noDevice, IDC_README);
        EXPECT_NE(WaitForWideFile(record, ProgramRun::kWaitMs).find(kReadme), std::wstring::npos);
        EXPECT_TRUE(WaitUntilNoProcessNamed(kOpenRecorder, ProgramRun::kWaitMs));
        const std::wstring opened = ReadWideFile(record);
        EXPECT_EQ(std::count(opened.begin(), opened.end(), L'\n'), 1) << Narrow(opened);
        ExpectNoDeviceDialogAndClose(noDevice);
        ExpectEndsQuietly(run);
        EXPECT_EQ(Reads(2).size(), 1u);
        EXPECT_TRUE(Writes(2).empty());
    }
}

// One case of the driver's answers to OK: the SET statuses of unit 1, what shows after OK,
// and how many writes unit 1 receives.
struct WriteCase {
    const char* name;
    std::vector<std::uint32_t> setStatuses;
    ProgramScreen after;
    const wchar_t* message;  // for a message box
    std::size_t writes;
};

class WriteAnswers : public ProgramTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteAnswers, ShowWhatTheDriverSaidAndWriteTheReadSettings) {
    const WriteCase& c = GetParam();
    const SimRecord read = Record(0x31, 0);
    Plug(1, read, c.setStatuses);
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ClickButton(dialog, IDOK);

    const HWND shown = ExpectScreen(c.after);
    if (c.after == ProgramScreen::MessageBox) {
        // Owned by the settings dialog, which stays up, disabled, under it. The writes are
        // over: no wait cursor, and a logoff may go ahead.
        EXPECT_EQ(GetWindow(shown, GW_OWNER), dialog);
        EXPECT_FALSE(IsWindowEnabled(dialog));
        EXPECT_FALSE(ShowsWaitCursor(dialog));
        EXPECT_TRUE(AllowsLogoff(dialog));
    }
    if (shown != nullptr) {
        // The settings dialog is ending: OK again writes nothing, even enabled from outside.
        EnableAndPressOkFromOutside(dialog);
        if (c.after == ProgramScreen::MessageBox) ExpectMessageBoxAndClose(shown, c.message);
        if (c.after == ProgramScreen::NoDevice) ExpectNoDeviceDialogAndClose(shown);
    }
    ExpectEndsQuietly();

    const auto written = WrittenBytes(1);
    ASSERT_EQ(written.size(), c.writes);
    // The first write and the retry carry the same settings, as read.
    for (const auto& bytes : written) EXPECT_EQ(bytes, FirstWrite(read, 0));
    EXPECT_EQ(Reads(1).size(), 1u);
    if (c.writes == 2) {
        // The retry waits 100 ms for another application to let go of the device.
        const auto writes = Writes(1);
        EXPECT_GE(writes[1].receivedMs - writes[0].receivedMs, 90u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryAnswer, WriteAnswers,
    ::testing::Values(
        WriteCase{"Status0", {0}, ProgramScreen::Ended, nullptr, 1},
        WriteCase{"Status2", {2}, ProgramScreen::MessageBox, kPowerCycle, 1},
        WriteCase{"Status1Then1", {1, 1}, ProgramScreen::MessageBox, kDeviceInUse, 2},
        WriteCase{"Status1Then0", {1, 0}, ProgramScreen::Ended, nullptr, 2},
        WriteCase{"Status1Then2", {1, 2}, ProgramScreen::Ended, nullptr, 2},
        WriteCase{"Status3IsAPowerCycle", {3}, ProgramScreen::MessageBox, kPowerCycle, 1},
        WriteCase{"NoAnswerToTheFirstWrite", {ORVEXSIM_SET_FAILS}, ProgramScreen::NoDevice,
                  nullptr, 1},
        WriteCase{"Status1ThenNoAnswer", {1, ORVEXSIM_SET_FAILS}, ProgramScreen::NoDevice,
                  nullptr, 2}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST_F(FailureTable, EveryConnectedUnitIsWrittenAndTheirAnswersAreCombined) {
    // Unit 1 is read; unit 3 says "in use" twice, unit 4 refuses the first write.
    const SimRecord read = Record(0x41, 1);
    Plug(1, read, {0, 0});
    Plug(3, Record(0x43, 0), {1, 1});
    Plug(4, Record(0x44, 0), {ORVEXSIM_SET_FAILS, 0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckState(dialog), BST_CHECKED);
    ClickButton(dialog, IDOK);
    ExpectMessageBoxAndClose(ExpectScreen(ProgramScreen::MessageBox), kDeviceInUse);
    ExpectEndsQuietly();

    const auto sent = FirstWrite(read, 1);
    EXPECT_EQ(Reads(1).size(), 1u);
    EXPECT_TRUE(Reads(3).empty());
    EXPECT_EQ(WrittenBytes(1), (std::vector<std::vector<std::uint8_t>>{sent, sent}));
    // Each later unit receives the record as the unit before it answered it.
    EXPECT_EQ(WrittenBytes(3), (std::vector<std::vector<std::uint8_t>>{sent, sent}));
    // Unit 4 came after unit 3's "in use" answer both times.
    EXPECT_EQ(WrittenBytes(4),
              (std::vector<std::vector<std::uint8_t>>{WithStatus(sent, 1), WithStatus(sent, 1)}));
}

TEST_F(FailureTable, AUnitUnpluggedWhileTheDialogIsOpenIsNotWritten) {
    const SimRecord read = Record(0x51, 0);
    Plug(1, read);
    Plug(2, Record(0x52, 1), {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(sim.Unplug(1)) << sim.LastError();
    ClickButton(dialog, IDOK);
    ExpectEndsQuietly();
    EXPECT_TRUE(Writes(1).empty());
    // Unit 2 now gets what was read from unit 1.
    EXPECT_EQ(WrittenBytes(2), (std::vector<std::vector<std::uint8_t>>{FirstWrite(read, 0)}));
}

TEST_F(FailureTable, WithEveryUnitUnpluggedOkShowsTheDeviceNotConnectedDialog) {
    Plug(1, Record(0x61, 0));
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(sim.Unplug(1)) << sim.LastError();
    ClickButton(dialog, IDOK);
    const HWND noDevice = ExpectScreen(ProgramScreen::NoDevice);
    // Over the settings dialog, which now carries the same title and takes no input.
    EXPECT_EQ(WindowText(dialog), kTitle);
    EXPECT_FALSE(IsWindowEnabled(dialog));
    ExpectNoDeviceDialogAndClose(noDevice);
    ExpectEndsQuietly();
    EXPECT_TRUE(Writes(1).empty());
}

// Well within the program's bound on a request, which must not give up on a slow driver.
TEST_F(FailureTable, ADriverThatAnswersAfterThreeSecondsIsWaitedFor) {
    const SimRecord read = Record(0x71, 1);
    Plug(1, read, {2});
    ASSERT_TRUE(sim.SetDelay(1, 3000)) << sim.LastError();
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckState(dialog), BST_CHECKED);
    ClickButton(dialog, IDOK);
    ExpectMessageBoxAndClose(ExpectScreen(ProgramScreen::MessageBox), kPowerCycle);
    ExpectEndsQuietly();
    const auto writes = Writes(1);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_TRUE(writes[0].pended);
    EXPECT_EQ(writes[0].input, FirstWrite(read, 1));
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    EXPECT_EQ(state.cancelled, 0u);
}

// A unit whose driver holds requests: the program gives up on each after its bound and goes
// on as for a failed call, never hanging and never showing what arrives too late.
using UnansweredRequests = ProgramTest;

TEST_F(UnansweredRequests, AReadThatNeverCompletesEndsInTheDeviceNotConnectedDialog) {
    Plug(1, Record(0x81, 1));
    ASSERT_TRUE(sim.SetDelay(1, SimControl::kDelayForever)) << sim.LastError();
    ASSERT_TRUE(program.Start()) << program.StartFailure();
    ExpectNoDeviceDialogAndClose(ExpectScreen(ProgramScreen::NoDevice));
    ExpectEndsQuietly();
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    EXPECT_EQ(state.cancelled, 1u);
    EXPECT_TRUE(Writes(1).empty());
}

TEST_F(UnansweredRequests, AUnitThatNeverAnswersIsPassedOverForTheNext) {
    Plug(1, Record(0x82, 0));
    const SimRecord second = Record(0x92, 1);
    Plug(2, second);
    ASSERT_TRUE(sim.SetDelay(1, SimControl::kDelayForever)) << sim.LastError();
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckState(dialog), BST_CHECKED);  // unit 2's setting
    ClickButton(dialog, IDOK);
    ExpectEndsQuietly();
    // Both units are sent unit 2's settings: unit 2 the very bytes unit 1 was sent.
    const auto sent = FirstWrite(second, 1);
    EXPECT_EQ(WrittenBytes(1), (std::vector<std::vector<std::uint8_t>>{sent}));
    EXPECT_EQ(WrittenBytes(2), (std::vector<std::vector<std::uint8_t>>{sent}));
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    EXPECT_EQ(state.cancelled, 2u);  // the read and the write
}

TEST_F(UnansweredRequests, AWriteThatNeverCompletesShowsTheDialogOverADisabledSettingsDialog) {
    const SimRecord read = Record(0x83, 0);
    Plug(1, read, {2});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    // From now on the unit holds what it is sent, and will not even let it be cancelled.
    ASSERT_TRUE(sim.SetDelay(1, SimControl::kDelayForever)) << sim.LastError();
    ASSERT_TRUE(sim.SetRefuseCancel(1, true)) << sim.LastError();
    ClickButton(dialog, IDOK);
    const HWND noDevice = ExpectScreen(ProgramScreen::NoDevice);
    ASSERT_NE(noDevice, nullptr);
    EXPECT_FALSE(IsWindowEnabled(dialog));  // no click or key reaches its OK again
    ExpectNoDeviceDialogAndClose(noDevice);
    ExpectEndsQuietly();
    EXPECT_EQ(WrittenBytes(1), (std::vector<std::vector<std::uint8_t>>{FirstWrite(read, 0)}));
}

// A unit that answers after the cancel it does not honour, inside the second bound, has
// answered: its "switch off and on" is shown, and no one takes it for a missing unit.
TEST_F(UnansweredRequests, AWriteAnsweredInsideTheCancellationBoundCountsAsItsAnswer) {
    const SimRecord read = Record(0x85, 1);
    Plug(1, read, {2});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(sim.SetDelay(1, 5500)) << sim.LastError();
    ASSERT_TRUE(sim.SetRefuseCancel(1, true)) << sim.LastError();
    ClickButton(dialog, IDOK);
    const ULONGLONG clicked = GetTickCount64();
    SleepUntil(clicked + 2000);
    EXPECT_TRUE(ShowsWaitCursor(dialog));  // busy while it writes
    EXPECT_FALSE(AllowsLogoff(dialog));
    const HWND box = ExpectScreen(ProgramScreen::MessageBox);
    ASSERT_NE(box, nullptr);
    std::printf("[ timing   ] OK to message 33091: %llu ms\n", GetTickCount64() - clicked);
    EXPECT_FALSE(ShowsWaitCursor(dialog));
    EXPECT_TRUE(AllowsLogoff(dialog));
    ExpectMessageBoxAndClose(box, kPowerCycle);
    ExpectEndsQuietly();
    EXPECT_EQ(WrittenBytes(1), (std::vector<std::vector<std::uint8_t>>{FirstWrite(read, 1)}));
    SimUnitState state;
    ASSERT_TRUE(sim.ReadState(1, state)) << sim.LastError();
    EXPECT_EQ(state.cancelsRefused, 1u);
}

// Unit 1 holds every SET until it is cancelled; unit 2 answers "in use" twice. OK then takes
// two give-ups, over 10 s, during which the program must keep reading its messages and must
// not act on anything the user, or another program, does: not even once the dialog has been
// enabled from outside. A logoff meanwhile is refused; once the writes are done it is not.
TEST_F(UnansweredRequests, AHeldWriteLeavesTheDialogResponsiveAndActsOnNoInput) {
    const SimRecord read = Record(0x84, 0);
    Plug(1, read);
    Plug(2, Record(0x94, 1), {1, 1});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(sim.SetDelay(1, SimControl::kDelayForever)) << sim.LastError();
    ClickButton(dialog, IDOK);
    const ULONGLONG clicked = GetTickCount64();
    for (ULONGLONG second : {2, 3, 4, 6, 8}) {
        SCOPED_TRACE(testing::Message() << second << " s after OK");
        SleepUntil(clicked + second * 1000);
        ExpectAnswering(dialog);
        DWORD_PTR answer = 1;
        if (second == 2) {
            EXPECT_FALSE(IsWindowEnabled(dialog));
            // Escape, OK once more, the taskbar's "Close window", a click on the check box.
            PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageW(dialog, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
            ClickButton(dialog, IDOK);
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            SendMessageTimeoutW(GetDlgItem(dialog, IDC_LIGHT_LOAD), BM_CLICK, 0, 0, SMTO_NORMAL,
                                1000, &answer);
            EXPECT_NE(SendMessageTimeoutW(dialog, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 1000,
                                          &answer),
                      0);
            EXPECT_EQ(answer, 0u);  // the logoff waits for the writes
        } else if (second == 3) {
            // As an "enable it" tool or an automation script would.
            EnableWindow(dialog, TRUE);
            SendMessageTimeoutW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 1000,
                                &answer);
            SendMessageTimeoutW(dialog, WM_COMMAND, IDCANCEL, 0, SMTO_NORMAL, 1000, &answer);
            SendMessageTimeoutW(dialog, WM_CLOSE, 0, 0, SMTO_NORMAL, 1000, &answer);
        }
    }
    const HWND box = ExpectScreen(ProgramScreen::MessageBox);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), kDeviceInUse);
    // The writes are over before anything shows over the dialog: a logoff may go ahead.
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(dialog, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 1000, &answer),
              0);
    EXPECT_NE(answer, 0u);
    PressOk(box);
    ExpectEndsQuietly();
    // Both rounds sent the settings as they were at OK: the check box is read once.
    const auto sent = FirstWrite(read, 0);
    EXPECT_EQ(WrittenBytes(1), (std::vector<std::vector<std::uint8_t>>{sent, sent}));
    EXPECT_EQ(WrittenBytes(2), (std::vector<std::vector<std::uint8_t>>{sent, sent}));
}

// A driver that does its work inside its dispatch routine: DeviceIoControl does not return
// before it does, overlapped or not, and a cancel does nothing. The program gives up on the
// unit at the same bounds as on a request the driver pends. Wine runs the simulated driver's
// dispatch routines on one thread, so the other units' requests wait behind the sitting one.
using SittingDriver = ProgramTest;

TEST_F(SittingDriver, AWriteSittingEightSecondsIsGivenUpOnAndTheNextUnitIsWritten) {
    const SimRecord read = Record(0xA1, 0);
    Plug(1, read);
    Plug(2, Record(0xA2, 1), {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(sim.SetSit(1, ORVEX_IOCTL_SET_SETTINGS, 8000)) << sim.LastError();
    ClickButton(dialog, IDOK);
    const ULONGLONG clicked = GetTickCount64();
    for (ULONGLONG second : {2, 4, 6}) {
        SCOPED_TRACE(testing::Message() << second << " s after OK");
        SleepUntil(clicked + second * 1000);
        ExpectAnswering(dialog);
    }
    DWORD exitCode = 0xFFFFFFFF;
    EXPECT_TRUE(program.WaitForExit(10000 - static_cast<DWORD>(GetTickCount64() - clicked),
                                    &exitCode));
    EXPECT_EQ(exitCode, 0u);
    // Unit 2 gets the bytes read from unit 1: unit 1's answer came too late to count.
    EXPECT_EQ(WrittenBytes(2), (std::vector<std::vector<std::uint8_t>>{FirstWrite(read, 0)}));
}

TEST_F(SittingDriver, AWriteSittingPastEveryBoundEndsInTheDeviceNotConnectedDialog) {
    Plug(1, Record(0xB1, 0));
    Plug(2, Record(0xB2, 1), {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(sim.SetSit(1, ORVEX_IOCTL_SET_SETTINGS, 20000)) << sim.LastError();
    ClickButton(dialog, IDOK);
    const ULONGLONG clicked = GetTickCount64();
    // Unit 1 is given up on after 6 s, unit 2, whose open waits behind it, after 12.
    HWND noDevice = nullptr;
    ULONGLONG shownAfterMs = 0;
    for (ULONGLONG next = 2000; noDevice == nullptr && next <= 16000;) {
        const ShownScreen shown = program.Current({dialog});
        shownAfterMs = GetTickCount64() - clicked;
        if (shown.screen == ProgramScreen::NoDevice) {
            noDevice = shown.window;
        } else if (shownAfterMs >= next) {
            SCOPED_TRACE(testing::Message() << next / 1000 << " s after OK");
            ExpectAnswering(dialog);
            next += 2000;
        } else {
            Sleep(50);
        }
    }
    ASSERT_NE(noDevice, nullptr);
    EXPECT_LE(shownAfterMs, 14000u);
    seen.push_back(noDevice);
    PressOk(noDevice);
    ExpectEndsQuietly();
}

TEST_F(SittingDriver, AReadSittingEightSecondsIsGivenUpOnAndTheNextUnitIsRead) {
    Plug(1, Record(0xC1, 0));
    Plug(2, Record(0xC2, 1));
    ASSERT_TRUE(sim.SetSit(1, ORVEX_IOCTL_GET_SETTINGS, 8000)) << sim.LastError();
    ASSERT_TRUE(program.Start()) << program.StartFailure();
    const ULONGLONG started = GetTickCount64();
    // While it reads, the dialog is there, hidden and busy, and reads its messages.
    SleepUntil(started + 2000);
    const auto dialogs = FindTopWindows(program.Id(), L"#32770", nullptr, true);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(IsWindowVisible(dialogs[0]));
    EXPECT_FALSE(IsWindowEnabled(dialogs[0]));
    ExpectAnswering(dialogs[0]);

    const HWND dialog = ExpectScreen(ProgramScreen::Settings);
    ASSERT_NE(dialog, nullptr);
    EXPECT_LE(GetTickCount64() - started, 10000u);
    EXPECT_EQ(CheckState(dialog), BST_CHECKED);  // unit 2's setting
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly();
    EXPECT_EQ(Reads(2).size(), 1u);

}

}  // namespace
