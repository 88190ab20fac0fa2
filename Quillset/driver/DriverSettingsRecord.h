#pragma once
// The one block of data the program shares with the ORVEX kernel driver: 328 bytes,
// little-endian, exchanged whole. Only lightLoad and status mean anything to the program;
// every other byte is carried from the read to the write untouched.

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "the record is little-endian");

struct DriverSettingsEntry {
    std::uint8_t bytes[28];
};

// Bytes 0 to 323: the part the main dialog keeps as its working copy.
struct DriverSettingsPart {
    DriverSettingsEntry entries[10];  // opaque to the program
    std::uint32_t word280;
    std::uint32_t word284;
    std::uint32_t word288;
    std::uint32_t word292;
    std::uint32_t word296;
    std::uint32_t word300;
    std::uint32_t word304;
    std::uint32_t word308;
    std::int32_t lightLoad;  // MIDI IN "Light Load": 0 off, 1 on
    std::uint32_t word316;
    std::uint32_t word320;

    // The default image: entries zero, words 280 to 323 as the driver ships them.
    DriverSettingsPart() noexcept { SetDefaultImage(); }
    void SetDefaultImage() noexcept;
};

struct DriverSettingsRecord {
    DriverSettingsPart settings;
    std::uint32_t status;  // the driver's answer to the last request

    DriverSettingsRecord() noexcept : status(0) {}
};

inline constexpr std::size_t kDriverSettingsPartSize = 324;
inline constexpr std::size_t kDriverSettingsRecordSize = 328;

static_assert(sizeof(DriverSettingsEntry) == 28);
static_assert(sizeof(DriverSettingsPart) == kDriverSettingsPartSize);
static_assert(sizeof(DriverSettingsRecord) == kDriverSettingsRecordSize);
static_assert(offsetof(DriverSettingsPart, entries) == 0);
static_assert(offsetof(DriverSettingsPart, word280) == 280);
static_assert(offsetof(DriverSettingsPart, word288) == 288);
static_assert(offsetof(DriverSettingsPart, word308) == 308);
static_assert(offsetof(DriverSettingsPart, lightLoad) == 312);
static_assert(offsetof(DriverSettingsPart, word316) == 316);
static_assert(offsetof(DriverSettingsPart, word320) == 320);
static_assert(offsetof(DriverSettingsRecord, settings) == 0);
static_assert(offsetof(DriverSettingsRecord, status) == 324);
