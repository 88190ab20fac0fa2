#include "driver/DriverSettingsRecord.h"
#include "support/ScriptedDevices.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::uint32_t WordAt(const void* base, std::size_t offset) {
    std::uint32_t w;
    std::memcpy(&w, static_cast<const std::uint8_t*>(base) + offset, sizeof w);
    return w;
}

TEST(DriverSettingsRecord, DefaultImageHasTheDriversWordsAndZeroEntries) {
    DriverSettingsRecord record;
    const std::uint32_t expected[11] = {0, 0, 5, 0, 1, 0, 1, 0, 0, 1, 0};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(WordAt(&record, 280 + 4 * i), expected[i]) << i;
    for (std::size_t i = 0; i < 280; ++i)
        ASSERT_EQ(reinterpret_cast<const std::uint8_t*>(&record)[i], 0u) << i;
    EXPECT_EQ(WordAt(&record, 324), 0u);
}

TEST(DriverSettingsRecord, LightLoadIsTheSignedLittleEndianWordAt312) {
    DriverSettingsRecord record;
    record.settings.lightLoad = -2;
    const auto bytes = BytesOf(&record, sizeof record);
    EXPECT_EQ(bytes[312], 0xFE);
    EXPECT_EQ(bytes[313], 0xFF);
    EXPECT_EQ(bytes[315], 0xFF);
    record.status = 0x01020304;
    EXPECT_EQ(BytesOf(&record, sizeof record)[324], 0x04);
}

}  // namespace
