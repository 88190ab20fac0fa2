// LoadText and SetControlText on the program's own resources. ctest runs this program with the
// C locale, for which the platform picks the English (United States) table.
#include "ExpectedTexts.h"
#include "ResourceModule.h"

#include "res/Maker.h"
#include "res/Texts.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr WORD kEnglish = 0x0409;

TEST(LoadText, LoadsEveryUsedTextInThePlatformsLanguage) {
    for (UINT id : UsedIdentifiers()) {
        std::wstring text = L"previous";
        ASSERT_TRUE(LoadText(text, id)) << id;
        EXPECT_EQ(text, ExpectedText(kEnglish, id)) << id;
    }
}

TEST(LoadText, ReplacesWhateverTheTextHeldBefore) {
    std::wstring text(500, L'x');
    ASSERT_TRUE(LoadText(text, IDS_OK));
    EXPECT_EQ(text, L"OK");
    EXPECT_EQ(text.size(), 2u);
}

TEST(LoadText, FailureLeavesTheTextExactlyAsItWas) {
    // 33096: absent entry (count 0) inside a block that exists; 33136: block 2072 does not exist;
    // 57345: an absent entry after the only one of block 3585; 0: block 1.
    for (UINT id : {33096u, 33099u, 33118u, 33126u, 33135u, 33136u, 57345u, 57359u, 0u, 65535u}) {
        std::wstring text = L"kept";
        EXPECT_FALSE(LoadText(text, id)) << id;
        EXPECT_EQ(text, L"kept") << id;
    }
}

TEST(LoadText, HighRealtimeLoadsInEnglish) {
    std::wstring text;
    ASSERT_TRUE(LoadText(text, IDS_BN_HIGH_REALTIME));
    EXPECT_EQ(text, L"High Realtime Performance");
}

TEST(LoadText, TitleAndVersionLineAsTheDialogsAssembleThem) {
    std::wstring title;
    LoadText(title, IDS_STR_TITLE);
    ReplaceAll(title, kModelPlaceholder, kModelName);
    EXPECT_EQ(title, L"ORVEX Driver Settings");

    std::wstring version;
    ASSERT_TRUE(LoadText(version, IDS_PROP_VER));
    ReplaceAll(version, kModelPlaceholder, kModelName);
    ReplaceAll(version, kVersionPlaceholder, L"");
    EXPECT_EQ(version, L"ORVEX Driver ");
}

// A dialog made from the main dialog's template, to set control texts on.
class MainDialogTemplate : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr),
                                    MAKEINTRESOURCEW(IDD_QUILLSET_DIALOG), nullptr, Procedure, 0);
        ASSERT_NE(dialog, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (dialog != nullptr) DestroyWindow(dialog);
    }
    std::wstring TextOf(int controlId) const {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, controlId, text, 256);
        return text;
    }
    static INT_PTR CALLBACK Procedure(HWND, UINT message, WPARAM, LPARAM) {
        return message == WM_INITDIALOG ? TRUE : FALSE;
    }
    HWND dialog = nullptr;
};

TEST_F(MainDialogTemplate, SetControlTextSetsALoadedTextOnAnExistingControl) {
    EXPECT_EQ(TextOf(IDC_MIDI_IN_GROUP), L"MIDI IN Setting");
    SetWindowTextW(GetDlgItem(dialog, IDC_MIDI_IN_GROUP), L"before");
    EXPECT_TRUE(SetControlText(dialog, IDC_MIDI_IN_GROUP, IDS_GRP_MIDI_IN_TYPE));
    EXPECT_EQ(TextOf(IDC_MIDI_IN_GROUP), L"MIDI IN Setting");
    EXPECT_TRUE(SetControlText(dialog, IDC_README, IDS_README));
    EXPECT_EQ(TextOf(IDC_README), L"Show \"README\"");
    // Any identifier's text goes to any control.
    EXPECT_TRUE(SetControlText(dialog, IDCANCEL, IDS_STR_TITLE));
    EXPECT_EQ(TextOf(IDCANCEL), L"__MODEL__ Driver Settings");
}

TEST_F(MainDialogTemplate, SetControlTextLeavesTheTemplateTextWhenTheLoadFails) {
    EXPECT_FALSE(SetControlText(dialog, IDC_LIGHT_LOAD, 33096));
    EXPECT_EQ(TextOf(IDC_LIGHT_LOAD), L"Light Load");
    EXPECT_FALSE(SetControlText(dialog, IDC_COPYRIGHT, 33136));
    EXPECT_EQ(TextOf(IDC_COPYRIGHT), QS_WIDEN(QS_COPYRIGHT_NOTICE));
}

TEST_F(MainDialogTemplate, SetControlTextDoesNothingForAControlTheDialogLacks) {
    for (int missing : {IDC_GRP_BUF_SIZE, IDC_ABB_MIN, IDC_APPLY, IDC_NODEV_TEXT})
        EXPECT_FALSE(SetControlText(dialog, missing, IDS_OK)) << missing;
    EXPECT_FALSE(SetControlText(nullptr, IDOK, IDS_OK));
}

}  // namespace
