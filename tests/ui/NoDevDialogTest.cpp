// The device-not-connected dialog, shown by a host program and driven from here as a user
// would: its texts, its README button, OK and Escape, and where it opens.
#include "res/resource.h"
#include "support/DriverKeyFixture.h"
#include "support/HtmHandler.h"
#include "support/UiAutomation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWaitMs = 20000;

// One run of the host program; a host still running at the end is ended (ChildProcess).
class HostRun {
public:
    explicit HostRun(const std::vector<std::wstring>& environment) {
        StartProcess(L"\"" + ThisProgramFolder() + L"\\quillset_nodev_host.exe\"", child,
                     environment);
    }

    bool Started() const { return static_cast<bool>(child.process); }

    // The host's dialog once it is visible; null after the bounded wait.
    HWND WaitForDialog() const { return WaitForTopWindow(child.id, L"#32770", nullptr, kWaitMs); }

    // The exit code, or -1 when the host did not end within the bounded wait.
    long WaitForExit() const {
        DWORD code = 0;
        return child.WaitForExit(kWaitMs, &code) ? static_cast<long>(code) : -1;
    }

private:
    ChildProcess child;
};

void PressKey(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 0x00010001);
    PostMessageW(control, WM_KEYUP, key, static_cast<LPARAM>(0xC0010001u));
}

void ExpectCentredInWorkArea(HWND window) {
    RECT area{}, box{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(window, &box);
    EXPECT_EQ(box.left, (area.left + area.right) / 2 - (box.right - box.left) / 2);
    EXPECT_EQ(box.top, (area.top + area.bottom) / 2 - (box.bottom - box.top) / 2);
}

struct LanguageCase {
    const char* name;
    const wchar_t* readmeName;
    const wchar_t* title;
    const wchar_t* message;
    const wchar_t* readmeCaption;
    const wchar_t* okCaption;
};

const LanguageCase kEnglish{"en", L"Readme\\Readme_EN.htm", L"ORVEX Driver Settings",
                            L"To make settings, connect the device and then execute once again.",
                            L"Show \"README\"", L"OK"};
const LanguageCase kGerman{
    "de", L"Readme\\Readme_DE.htm", L"ORVEX Treibereinstellungen",
    L"Um Einstellungen vorzunehmen, schlie\u00DFen Sie das Ger\u00E4t an und f\u00FChren das "
    L"Programm erneut aus.",
    L"\"README\" anzeigen", L"OK"};
const LanguageCase kJapanese{
    "ja", L"Readme\\Readme_JP.htm", L"ORVEX Driver \u306E\u8A2D\u5B9A",
    L"\u8A2D\u5B9A\u3092\u884C\u3046\u5834\u5408\u306F\u3001\u6A5F\u5668\u3092\u63A5\u7D9A\u3057"
    L"\u3066\u304B\u3089\u518D\u5EA6\u5B9F\u884C\u3057\u3066\u304F\u3060\u3055\u3044\u3002",
    L"README\u3092\u8868\u793A", L"OK"};

// Wine takes a process's language from the one that started it, so the whole test program
// runs in the language under test; QS_NODEV_LANGUAGE names it (en when unset).
const LanguageCase& Language() {
    const char* name = std::getenv("QS_NODEV_LANGUAGE");
    for (const LanguageCase* language : {&kGerman, &kJapanese})
        if (name && std::strcmp(name, language->name) == 0) return *language;
    return kEnglish;
}

class NoDeviceDialog : public ::testing::Test {
protected:
    DriverKeyFixture key;
    TemporaryFolder folder;
    std::wstring record = folder.Path() + L"\\opened.txt";

    HostRun Start() { return HostRun({L"QS_OPEN_RECORD=" + record}); }

    void ExpectTexts(HWND dialog, const LanguageCase& language) {
        EXPECT_EQ(WindowText(dialog), language.title);
        EXPECT_EQ(ControlText(dialog, IDC_NODEV_TEXT), language.message);
        EXPECT_EQ(ControlText(dialog, IDC_README), language.readmeCaption);
        EXPECT_EQ(ControlText(dialog, IDOK), language.okCaption);
        EXPECT_EQ(GetDlgItem(dialog, IDCANCEL), nullptr);
        EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU, 0);
    }

    // With a README in place: the button is enabled and a click opens the document.
    void ExpectReadmeOpens(const LanguageCase& language) {
        ASSERT_TRUE(folder.CreateFileAt(language.readmeName));
        ASSERT_TRUE(key.SetText(nullptr, folder.Path()));
        HtmHandler handler(ThisProgramFolder() + L"\\quillset_open_recorder.exe");
        ASSERT_TRUE(handler.Ready());
        HostRun host = Start();
        ASSERT_TRUE(host.Started());
        const HWND dialog = host.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        ExpectTexts(dialog, language);
        ExpectCentredInWorkArea(dialog);
        const HWND readme = GetDlgItem(dialog, IDC_README);
        ASSERT_TRUE(IsWindowEnabled(readme));

        PostMessageW(readme, BM_CLICK, 0, 0);
        const std::wstring opened = WaitForWideFile(record, kWaitMs);
        EXPECT_NE(opened.find(folder.Path() + L"\\" + language.readmeName), std::wstring::npos)
            << "opened: " << std::string(opened.begin(), opened.end());
        EXPECT_TRUE(IsWindowVisible(dialog));

        PressKey(GetDlgItem(dialog, IDOK), VK_ESCAPE);
        EXPECT_EQ(host.WaitForExit(), IDCANCEL);
    }

    void ExpectReadmeDisabledAndOkCloses(const LanguageCase& language) {
        HostRun host = Start();
        ASSERT_TRUE(host.Started());
        const HWND dialog = host.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        ExpectTexts(dialog, language);
        ExpectCentredInWorkArea(dialog);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_README)));

        // F1 asks for help the program doesn't have; the dialog stays and still answers.
        PressKey(GetDlgItem(dialog, IDOK), VK_F1);
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_EQ(host.WaitForExit(), IDOK);
    }
};

TEST_F(NoDeviceDialog, WithoutTheDriverKeyTheReadmeButtonIsDisabledAndOkCloses) {
    ExpectReadmeDisabledAndOkCloses(Language());
}

TEST_F(NoDeviceDialog, AFolderWithoutTheLanguagesReadmeKeepsTheButtonDisabled) {
    // Another language's document does not count.
    ASSERT_TRUE(folder.CreateFileAt(&Language() == &kEnglish ? kGerman.readmeName
                                                                    : kEnglish.readmeName));
    ASSERT_TRUE(key.SetText(nullptr, folder.Path()));
    ExpectReadmeDisabledAndOkCloses(Language());
}

TEST_F(NoDeviceDialog, TheReadmeButtonOpensTheDocumentAndEscapeCloses) {
    ExpectReadmeOpens(Language());
}

}  // namespace
