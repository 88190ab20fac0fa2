// The soak's command line: scripts/soak puts its defaults first and relies on later options
// winning; a bad value must stop the soak rather than run something else.
#include "SoakOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool Parse(std::vector<const wchar_t*> args, SoakOptions& options, std::string& error) {
    std::vector<wchar_t*> argv{const_cast<wchar_t*>(L"quillset_soak.exe")};
    for (const wchar_t* arg : args) argv.push_back(const_cast<wchar_t*>(arg));
    return ParseSoakOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(SoakOptions, LaterOptionsWinAndTheSeedMayBeHexadecimal) {
    SoakOptions options;
    std::string error;
    ASSERT_TRUE(Parse({L"--runs", L"200", L"--max-seconds", L"900", L"--runs", L"3", L"--seed",
                       L"0xFFFFFFFFFFFFFFFF", L"--verbose"},
                      options, error))
        << error;
    EXPECT_EQ(options.runs, 3u);
    EXPECT_EQ(options.maxSeconds, 900u);
    EXPECT_TRUE(options.seedGiven);
    EXPECT_EQ(options.seed, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_TRUE(options.verbose);
}

TEST(SoakOptions, WithoutOptionsTheDefaultsHoldAndTheSeedIsLeftToTheClock) {
    SoakOptions options;
    std::string error;
    ASSERT_TRUE(Parse({}, options, error));
    EXPECT_EQ(options.runs, 200u);
    EXPECT_EQ(options.maxSeconds, 900u);
    EXPECT_FALSE(options.seedGiven);
}

TEST(SoakOptions, BadValuesAndUnknownOptionsAreRefusedWithTheReason) {
    const std::vector<std::vector<const wchar_t*>> bad = {
        {L"--runs"}, {L"--runs", L"0"}, {L"--runs", L"-5"}, {L"--runs", L"12x"},
        {L"--runs", L"1000001"}, {L"--max-seconds", L"86401"}, {L"--seed", L"0x1FFFFFFFFFFFFFFFF"},
        {L"--speed", L"3"}};
    for (const auto& args : bad) {
        SoakOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, options, error)) << args.size();
        EXPECT_FALSE(error.empty());
    }
    SoakOptions options;
    std::string error;
    EXPECT_TRUE(Parse({L"--seed", L"0"}, options, error));  // 0 is a seed like any other
}

}  // namespace
