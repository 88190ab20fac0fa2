// The program in another language: the whole test program runs under that language's locale
// (the program takes its language from the one that starts it), and QS_E2E_TABLE names the
// string table that must then be on screen.
#include "ProgramFixture.h"
#include "res/ExpectedTexts.h"

#include <cstdlib>

namespace {

class InTheUsersLanguage : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        const char* table = std::getenv("QS_E2E_TABLE");
        ASSERT_NE(table, nullptr) << "QS_E2E_TABLE names the expected string table";
        language = static_cast<WORD>(std::strtoul(table, nullptr, 16));
    }

    // The text the user must see: the table's text with the model name and version put in.
    std::wstring Expected(UINT id) const {
        const wchar_t* text = ExpectedText(language, id);
        if (text == nullptr) {
            ADD_FAILURE() << "no expected text " << id << " for table " << language;
            return L"";
        }
        std::wstring out = text;
        Replace(out, L"__MODEL__", L"ORVEX");
        Replace(out, L"__VERSION__", kVersion);
        return out;
    }

    static void Replace(std::wstring& text, const std::wstring& from, const std::wstring& to) {
        for (std::size_t at = text.find(from); at != std::wstring::npos;
             at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }

    WORD language = 0;
};

TEST_F(InTheUsersLanguage, TheSettingsDialogAndTheInUseMessageShowItsTexts) {
    ASSERT_TRUE(folder.CreateFileAt(Expected(IDS_README_NAME)));
    Plug(1, Record(0x31, 1), {1, 1});
    const HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), Expected(IDS_STR_TITLE));
    EXPECT_EQ(ControlText(dialog, IDC_MIDI_IN_GROUP), Expected(IDS_GRP_MIDI_IN_TYPE));
    EXPECT_EQ(ControlText(dialog, IDC_LIGHT_LOAD), Expected(IDS_BN_MIDI_IN_TYPE));
    EXPECT_EQ(ControlText(dialog, IDC_README), Expected(IDS_README));
    EXPECT_EQ(ControlText(dialog, IDOK), Expected(IDS_OK));
    EXPECT_EQ(ControlText(dialog, IDCANCEL), Expected(IDS_CANCEL));
    EXPECT_EQ(ControlText(dialog, IDC_DRIVER_VERSION), Expected(IDS_PROP_VER));
    // The language's own README document is the one looked for.
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_README)));

    ClickButton(dialog, IDOK);
    const HWND box = ExpectScreen(ProgramScreen::MessageBox);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), Expected(IDS_CONF_WAVE));
    EXPECT_EQ(WindowText(box), Expected(IDS_APP_TITLE));
    ClickButton(box, IDOK);
    ExpectEndsQuietly();
}

TEST_F(InTheUsersLanguage, ThePowerCycleMessageAndTheDeviceNotConnectedDialogShowItsTexts) {
    Plug(1, Record(0x32, 0), {2});
    HWND dialog = StartToSettings();
    ASSERT_NE(dialog, nullptr);
    ClickButton(dialog, IDOK);
    const HWND box = ExpectScreen(ProgramScreen::MessageBox);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), Expected(IDS_CONF_MIDI));
    ClickButton(box, IDOK);
    ExpectEndsQuietly();

    ASSERT_TRUE(sim.Unplug(1)) << sim.LastError();
    ProgramRun run;
    ASSERT_TRUE(run.Start()) << run.StartFailure();
    const HWND noDevice = ExpectScreen(run, ProgramScreen::NoDevice);
    ASSERT_NE(noDevice, nullptr);
    EXPECT_EQ(WindowText(noDevice), Expected(IDS_STR_TITLE));
    EXPECT_EQ(ControlText(noDevice, IDC_NODEV_TEXT), Expected(IDS_MSG_NODEV));
    ClickButton(noDevice, IDOK);
    ExpectEndsQuietly(run);
}

}  // namespace
