// Which table the platform picks for the user interface language it was started with. ctest runs
// this program once per locale; QS_EXPECTED_TABLE names the table that must serve it (a language
// identifier such as 0x0007), or "any" where the choice is the platform's and is only reported.
#include "ExpectedTexts.h"
#include "ResourceModule.h"

#include "res/Texts.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Hex(WORD language) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", language);
    return text;
}

// The carried tables that every loaded text agrees with.
std::vector<WORD> TablesMatchingLoadedTexts() {
    std::vector<WORD> matching;
    for (const auto& table : CarriedLanguages()) {
        bool all = true;
        for (UINT id : UsedIdentifiers()) {
            std::wstring text;
            if (!LoadText(text, id) || text != ExpectedText(table.language, id)) all = false;
        }
        if (all) matching.push_back(table.language);
    }
    return matching;
}

TEST(UiLanguage, EveryTextComesFromTheOneExpectedTable) {
    const char* expected = std::getenv("QS_EXPECTED_TABLE");
    ASSERT_NE(expected, nullptr) << "QS_EXPECTED_TABLE not set";
    const auto matching = TablesMatchingLoadedTexts();
    std::printf("LC_ALL=%s LC_MESSAGES=%s LANG=%s: user interface language %s, table %s\n",
                std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "",
                std::getenv("LC_MESSAGES") ? std::getenv("LC_MESSAGES") : "",
                std::getenv("LANG") ? std::getenv("LANG") : "",
                Hex(GetUserDefaultUILanguage()).c_str(),
                matching.size() == 1 ? Hex(matching[0]).c_str() : "none or mixed");
    ASSERT_EQ(matching.size(), 1u) << "the texts do not all come from one table";
    if (std::string(expected) != "any") {
        EXPECT_EQ(matching[0], static_cast<WORD>(std::strtoul(expected, nullptr, 16)));
    }
}

TEST(UiLanguage, HighRealtimeLoadsOnlyWhereTheChosenTableCarriesIt) {
    // No fallback per identifier: a table without 33129 fails even though English has it.
    const auto matching = TablesMatchingLoadedTexts();
    ASSERT_EQ(matching.size(), 1u);
    const bool carried = matching[0] == 0x0409 || matching[0] == 0x0411;
    std::wstring text = L"kept";
    EXPECT_EQ(LoadText(text, IDS_BN_HIGH_REALTIME), carried);
    if (!carried) {
        EXPECT_EQ(text, L"kept");
    }
}

}  // namespace
