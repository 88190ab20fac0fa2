// The string table as built into the program, read back language by language.
#include "ExpectedTexts.h"
#include "ResourceModule.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr WORD kBlocks[] = {2069, 2070, 2071, 3585};
constexpr UINT kAbsentEverywhere[] = {33096, 33097, 33098, 33099, 33118, 33119, 33126, 33134, 33135};

std::vector<WORD> CarriedLanguageIds() {
    std::vector<WORD> ids;
    for (const auto& table : CarriedLanguages()) ids.push_back(table.language);
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST(StringTable, IsReadFromTheShippedProgramNotFromThisTestProgram) {
    const HMODULE module = ModuleUnderTest();
    ASSERT_NE(module, nullptr) << "the program under test could not be loaded";
    EXPECT_NE(module, GetModuleHandleW(nullptr));
}

TEST(StringTable, HasExactlyTheFourBlocksEachInExactlyTheEightLanguages) {
    EXPECT_EQ(NumbersOf(RT_STRING), (std::vector<WORD>{2069, 2070, 2071, 3585}));
    for (WORD block : kBlocks) {
        EXPECT_EQ(LanguagesOf(RT_STRING, block), CarriedLanguageIds()) << "block " << block;
        for (const auto& table : CarriedLanguages())
            EXPECT_TRUE(EntriesOfBlock(FindResourceBytes(RT_STRING, block, table.language)))
                << "block " << block << " in " << table.name << " is not 16 entries exactly";
    }
}

TEST(StringTable, EveryUsedTextIsExactInEveryLanguage) {
    for (const auto& table : CarriedLanguages()) {
        for (UINT id : UsedIdentifiers()) {
            const wchar_t* expected = ExpectedText(table.language, id);
            ASSERT_NE(expected, nullptr) << id;
            const auto actual = StringInLanguage(id, table.language);
            ASSERT_TRUE(actual) << table.name << ": " << id << " is missing";
            EXPECT_EQ(*actual, expected) << table.name << ": " << id;
        }
    }
}

TEST(StringTable, EnglishCarriesEveryIdentifierWithItsText) {
    const std::pair<UINT, const wchar_t*> english[] = {
        {IDS_STR_NO_DEV, L"The device is not connected.\nPlease connect the device before you execute."},
        {IDS_CONF_MIDI_CABLE, L"To have settings changes take effect, disconnect the device, then connect again."},
        {IDS_GRP_BUF_SIZE, L"Audio Buffer Size"},
        {IDS_ABB_MIN, L"Min."},
        {IDS_ABB_MAX, L"Max."},
        {IDS_GRP_DIGITAL_OUT, L"Digital Output Setting"},
        {IDS_BN_AC3, L"Enable S/PDIF Pass-Through"},
        {IDS_GRP_AUDIO_PORT, L"Audio Port Setting"},
        {IDS_BN_USE_2CH, L"Use SEPARATED Ports"},
        {IDS_GRP_ASIO, L"ASIO Setting"},
        {IDS_BN_ASIO_SMALLER, L"Use Smaller ASIO Buffer Size"},
        {IDS_BN_ASIO_MON, L"Use ASIO Direct Monitor"},
        {IDS_STATIC_STEINBERG, L"ASIO Technology by\nSteinberg Media Technologies GmbH"},
        {IDS_APPLY, L"Apply"},
        {IDS_ASIOBUFLV1, L"1"},
        {IDS_ASIOBUFLV2, L"2"},
        {IDS_ASIOBUFLV3, L"3"},
        {IDS_ASIOBUFLV4, L"4"},
        {IDS_STATIC_REALTIME, L"Real Time:"},
        {IDS_STATIC_STABILITY, L"Stability:"},
        {IDS_FMT_ASIO_BUF_SIZE, L"ASIO Buffer Size: %4d samples"},
        {IDS_GRP_STREAMING, L"Audio Streaming Performance"},
        {IDS_BN_HIGH_REALTIME, L"High Realtime Performance"},
        {IDS_BN_MULTI_WDM, L"Use Multichannel WDM Audio Port"},
        {IDS_ERR_SAMPLING_FREQ, L"Sampling frequency does not match."},
        {IDS_ERR_USB_CONTROLLER, L"USB controller does not match."},
        {IDS_ERR_VERSION, L"Version does not match."},
    };
    for (const auto& [id, text] : english) {
        const auto actual = StringInLanguage(id, 0x0409);
        ASSERT_TRUE(actual) << id;
        EXPECT_EQ(*actual, text) << id;
    }
}

TEST(StringTable, EveryLanguageCarriesTheSameIdentifiersButHighRealtimeOnlyInEnglishAndJapanese) {
    for (const auto& table : CarriedLanguages()) {
        const bool withHighRealtime = table.language == 0x0409 || table.language == 0x0411;
        for (UINT id = 33088; id <= 33135; ++id) {
            bool absent = false;
            for (UINT gap : kAbsentEverywhere) absent = absent || gap == id;
            if (id == IDS_BN_HIGH_REALTIME) absent = !withHighRealtime;
            EXPECT_EQ(StringInLanguage(id, table.language).has_value(), !absent)
                << table.name << ": " << id;
        }
        EXPECT_TRUE(StringInLanguage(IDS_APP_TITLE, table.language)) << table.name;
        for (UINT id = 57345; id <= 57359; ++id)
            EXPECT_FALSE(StringInLanguage(id, table.language)) << table.name << ": " << id;
    }
}

TEST(StringTable, CopyrightIsOneLineEndingInAFullStopAndTheSameEverywhere) {
    const auto english = StringInLanguage(IDS_PROP_COPYR, 0x0409);
    ASSERT_TRUE(english);
    ASSERT_FALSE(english->empty());
    EXPECT_EQ(english->back(), L'.');
    EXPECT_EQ(english->find(L'\n'), std::wstring::npos);
    for (const auto& table : CarriedLanguages())
        EXPECT_EQ(StringInLanguage(IDS_PROP_COPYR, table.language), english) << table.name;
}

}  // namespace
