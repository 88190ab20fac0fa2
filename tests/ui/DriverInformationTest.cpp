#include "framework/Application.h"
#include "res/Maker.h"
#include "res/resource.h"
#include "ui/DriverInformation.h"
#include "support/DriverKeyFixture.h"

#include <gtest/gtest.h>

namespace {

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The main dialog's template, open without a modal loop so the test can call into it.
class DriverInformationLines : public ::testing::Test {
protected:
    DriverKeyFixture key;
    HWND dialog = nullptr;

    void SetUp() override {
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_QUILLSET_DIALOG),
                                    nullptr, PassiveDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override { DestroyWindow(dialog); }

    std::wstring Text(int controlId) {
        wchar_t text[512] = {};
        GetDlgItemTextW(dialog, controlId, text, 512);
        return text;
    }
};

const std::wstring kTemplateCopyright = QS_WIDEN(QS_COPYRIGHT_NOTICE);
const std::wstring kCopyrightString = kTemplateCopyright + L".";

TEST_F(DriverInformationLines, WithoutTheKeyTheVersionIsEmptyAndTheMakersNoticeShows) {
    ShowDriverVersion(dialog);
    ShowDriverCopyright(dialog);
    EXPECT_EQ(Text(IDC_DRIVER_VERSION), L"");
    EXPECT_EQ(Text(IDC_COPYRIGHT), kCopyrightString);
}

TEST_F(DriverInformationLines, VersionFillsTheLineAfterTheModelName) {
    ASSERT_TRUE(key.SetText(L"version", L"Ver.1.0.4"));
    ShowDriverVersion(dialog);
    EXPECT_EQ(Text(IDC_DRIVER_VERSION), L"ORVEX Driver Ver.1.0.4");

    ASSERT_TRUE(key.SetText(L"version", L"__MODEL__ __VERSION__"));
    ShowDriverVersion(dialog);
    EXPECT_EQ(Text(IDC_DRIVER_VERSION), L"ORVEX Driver __MODEL__ __VERSION__");

    ASSERT_TRUE(key.SetText(L"version", L""));
    ShowDriverVersion(dialog);
    EXPECT_EQ(Text(IDC_DRIVER_VERSION), L"ORVEX Driver ");
}

TEST_F(DriverInformationLines, ATooLongVersionEmptiesTheLine) {
    ASSERT_TRUE(key.SetText(L"version", std::wstring(178, L'9')));
    ShowDriverVersion(dialog);
    EXPECT_EQ(Text(IDC_DRIVER_VERSION), L"ORVEX Driver " + std::wstring(178, L'9'));

    ASSERT_TRUE(key.SetText(L"version", std::wstring(179, L'9')));
    ShowDriverVersion(dialog);
    EXPECT_EQ(Text(IDC_DRIVER_VERSION), L"");
}

TEST_F(DriverInformationLines, StoredCopyrightShowsAsItIsEvenWhenEmpty) {
    ASSERT_TRUE(key.SetText(L"copyright", L"(C) __MODEL__ makers"));
    ShowDriverCopyright(dialog);
    EXPECT_EQ(Text(IDC_COPYRIGHT), L"(C) __MODEL__ makers");

    ASSERT_TRUE(key.SetText(L"copyright", L""));
    ShowDriverCopyright(dialog);
    EXPECT_EQ(Text(IDC_COPYRIGHT), L"");
}

TEST_F(DriverInformationLines, ATooLongCopyrightFallsBackToTheMakersNotice) {
    ASSERT_TRUE(key.SetText(L"copyright", std::wstring(300, L'c')));
    ShowDriverCopyright(dialog);
    EXPECT_EQ(Text(IDC_COPYRIGHT), kCopyrightString);
}

TEST(ApplicationTitle, IsTheBlankOfString57344) {
    EXPECT_EQ(LoadApplicationTitle(GetModuleHandleW(nullptr)), L" ");
}

}  // namespace
