// The settings dialog as the user meets it: the driver's setting shown, the texts and the
// driver information, and what OK and Cancel send.
#include "ProgramFixture.h"
#include "support/HtmHandler.h"

namespace {

using SettingsDialog = ProgramTest;

// lightLoad as the driver stores it, the check box it shows, what OK writes.
struct LightLoadCase {
    std::int32_t stored;
    LRESULT shown;
    std::int32_t written;
};

class LightLoad : public ProgramTest, public ::testing::WithParamInterface<LightLoadCase> {};

TEST_P(LightLoad, IsShownInTheCheckBoxAndOkWritesTheCheckBoxState) {
    const LightLoadCase& c = GetParam();
    const SimRecord read = Record(0x11, c.stored);
    Plug(1, read, {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckState(dialog), c.shown);
    ClickButton(dialog, IDOK);
    ExpectEndsQuietly();
    EXPECT_EQ(WrittenBytes(1), (std::vector<std::vector<std::uint8_t>>{FirstWrite(read, c.written)}));
}

INSTANTIATE_TEST_SUITE_P(StoredValues, LightLoad,
                         ::testing::Values(LightLoadCase{0, BST_UNCHECKED, 0},
                                           LightLoadCase{1, BST_CHECKED, 1},
                                           // Passed on as BST_INDETERMINATE, which a
                                           // two-state check box shows as checked.
                                           LightLoadCase{2, BST_CHECKED, 1},
                                           LightLoadCase{5, BST_UNCHECKED, 0},
                                           LightLoadCase{-1, BST_UNCHECKED, 0}));

TEST_F(SettingsDialog, CancelAfterAToggleWritesNothing) {
    Plug(1, Record(0x12, 0), {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    SendMessageW(GetDlgItem(dialog, IDC_LIGHT_LOAD), BM_CLICK, 0, 0);
    EXPECT_EQ(CheckState(dialog), BST_CHECKED);
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly();
    EXPECT_TRUE(Writes(1).empty());
    EXPECT_EQ(Reads(1).size(), 1u);
}

TEST_F(SettingsDialog, EscapeAndTheCloseCommandAreCancelToo) {
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "Escape" : "WM_CLOSE");
        ASSERT_TRUE(sim.Reset()) << sim.LastError();
        Plug(1, Record(0x13, 1), {0});
        ProgramRun run;
        ASSERT_TRUE(run.Start()) << run.StartFailure();
        const HWND dialog = ExpectScreen(run, ProgramScreen::Settings);
        ASSERT_NE(dialog, nullptr);
        SendMessageW(GetDlgItem(dialog, IDC_LIGHT_LOAD), BM_CLICK, 0, 0);
        if (way == 0) {
            const HWND focus = GetDlgItem(dialog, IDC_LIGHT_LOAD);
            PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageW(focus, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
        } else {
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
        ExpectEndsQuietly(run);
        EXPECT_TRUE(Writes(1).empty());
    }
}

TEST_F(SettingsDialog, OkWithoutAChangeWritesOnceByteForByteWhatWasRead) {
    const SimRecord read = Record(0x14, 1);
    Plug(1, read, {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ClickButton(dialog, IDOK);
    ExpectEndsQuietly();
    std::vector<std::uint8_t> expected(read.begin(), read.begin() + 324);
    expected.insert(expected.end(), 4, 0);  // the status word goes out as 0
    EXPECT_EQ(WrittenBytes(1), (std::vector<std::vector<std::uint8_t>>{expected}));
}

TEST_F(SettingsDialog, AToggleChangesOnlyLightLoad) {
    const SimRecord read = Record(0x15, 1);
    Plug(1, read, {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    SendMessageW(GetDlgItem(dialog, IDC_LIGHT_LOAD), BM_CLICK, 0, 0);
    EXPECT_EQ(CheckState(dialog), BST_UNCHECKED);
    ClickButton(dialog, IDOK);
    ExpectEndsQuietly();
    EXPECT_EQ(WrittenBytes(1), (std::vector<std::vector<std::uint8_t>>{FirstWrite(read, 0)}));
}

TEST_F(SettingsDialog, ShowsItsTextsAndTheDriverInformation) {
    ASSERT_TRUE(folder.CreateFileAt(kReadme));
    Plug(1, Record(0x16, 0), {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), L"ORVEX Driver Settings");
    EXPECT_EQ(ControlText(dialog, IDC_MIDI_IN_GROUP), L"MIDI IN Setting");
    EXPECT_EQ(ControlText(dialog, IDC_LIGHT_LOAD), L"Light Load");
    EXPECT_EQ(ControlText(dialog, IDC_README), L"Show \"README\"");
    EXPECT_EQ(ControlText(dialog, IDOK), L"OK");
    EXPECT_EQ(ControlText(dialog, IDCANCEL), L"Cancel");
    EXPECT_EQ(ControlText(dialog, IDC_DRIVER_VERSION), L"ORVEX Driver 1.4.2");
    EXPECT_EQ(ControlText(dialog, IDC_COPYRIGHT), kCopyright);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_README)));
    // The keyboard focus starts on the check box.
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(thread, &gui));
    EXPECT_EQ(gui.hwndFocus, GetDlgItem(dialog, IDC_LIGHT_LOAD));
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly();
}

TEST_F(SettingsDialog, TheReadmeButtonOpensTheDocumentAndTheDialogStays) {
    ASSERT_TRUE(folder.CreateFileAt(kReadme));
    const std::wstring record = folder.Path() + L"\\opened.txt";
    HtmHandler handler(ThisProgramFolder() + L"\\quillset_open_recorder.exe");
    ASSERT_TRUE(handler.Ready());
    Plug(1, Record(0x1B, 0), {0});
    ASSERT_TRUE(program.Start(ProgramRun::ProgramPath(), {L"QS_OPEN_RECORD=" + record}))
        << program.StartFailure();
    const HWND dialog = ExpectScreen(ProgramScreen::Settings);
    ASSERT_NE(dialog, nullptr);
    ClickButton(dialog, IDC_README);
    const std::wstring opened = WaitForWideFile(record, ProgramRun::kWaitMs);
    EXPECT_NE(opened.find(folder.Path() + L"\\" + kReadme), std::wstring::npos)
        << Narrow(opened);
    // Opening the document writes nothing; the dialog waits for the user.
    EXPECT_EQ(program.Current().screen, ProgramScreen::Settings);
    EXPECT_TRUE(Writes(1).empty());
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly();
}

TEST_F(SettingsDialog, WithoutTheDriverKeyTheInformationFallsBackAndReadmeIsDisabled) {
    key.RemoveKey();
    Plug(1, Record(0x17, 0));
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, IDC_DRIVER_VERSION), L"");
    EXPECT_EQ(ControlText(dialog, IDC_COPYRIGHT), L"Copyright (C) 2026 Quillmere Audio.");
    const HWND readme = GetDlgItem(dialog, IDC_README);
    EXPECT_FALSE(IsWindowEnabled(readme));
    EXPECT_EQ(WindowText(readme), L"Show \"README\"");
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly();
}

TEST_F(SettingsDialog, AnOversizedVersionAndAnEmptyCopyrightLeaveTheirLinesEmpty) {
    // 360 bytes and more are refused; an empty copyright is shown as it is, not replaced.
    const std::wstring longVersion(180, L'9');
    ASSERT_TRUE(key.SetBytes(L"version", REG_SZ, longVersion.c_str(),
                             static_cast<DWORD>((longVersion.size() + 1) * sizeof(wchar_t))));
    ASSERT_TRUE(key.SetText(L"copyright", L""));
    Plug(1, Record(0x18, 0));
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, IDC_DRIVER_VERSION), L"");
    EXPECT_EQ(ControlText(dialog, IDC_COPYRIGHT), L"");
    ClickButton(dialog, IDCANCEL);
    ExpectEndsQuietly();
}

TEST_F(SettingsDialog, TheUnitInTheLastSlotIsFoundToo) {
    const SimRecord read = Record(0x19, 1);
    Plug(4, read, {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckState(dialog), BST_CHECKED);
    ClickButton(dialog, IDOK);
    ExpectEndsQuietly();
    EXPECT_EQ(WrittenBytes(4), (std::vector<std::vector<std::uint8_t>>{FirstWrite(read, 1)}));
}

TEST_F(SettingsDialog, MinimisedAndRestoredItStillWorks) {
    const SimRecord read = Record(0x1A, 0);
    Plug(1, read, {0});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    // The dialog has no minimise box, but Windows can minimise it all the same. Minimised and
    // restored as a user's commands come: as the window's own system commands, carried out on
    // the program's thread; posted, so wait for the change.
    const auto becomes = [&](bool iconic) {
        const ULONGLONG until = GetTickCount64() + ProgramRun::kWaitMs;
        while ((IsIconic(dialog) != FALSE) != iconic && GetTickCount64() < until) Sleep(20);
        return (IsIconic(dialog) != FALSE) == iconic;
    };
    // A modal dialog's loop shows its dialog once more (SW_SHOWNORMAL) the first time it finds
    // no message waiting, which would undo a minimise that came before: a user acts on a
    // program that waits for them.
    ASSERT_TRUE(program.WaitForInputIdle()) << "the program never waited for input";
    ASSERT_TRUE(PostMessageW(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0));
    EXPECT_TRUE(becomes(true));
    // Painting while minimised draws the icon; the dialog keeps answering.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ExpectAnswering(dialog);
    ASSERT_TRUE(PostMessageW(dialog, WM_SYSCOMMAND, SC_RESTORE, 0));
    EXPECT_TRUE(becomes(false));
    ClickButton(dialog, IDOK);
    ExpectEndsQuietly();
    EXPECT_EQ(Writes(1).size(), 1u);
}

}  // namespace
