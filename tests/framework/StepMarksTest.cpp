// The benchmark's step marks: written only into the block the benchmark made for this process.
#include "framework/StepMarks.h"
#include "framework/UniqueHandle.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StepMarks, OnlyABlockMadeForTheProcessIsWrittenEachStepOnceAndSpansByPhase) {
    wchar_t name[48];
    StepMarksName(4294967295u, name);
    EXPECT_EQ(std::wstring(name), L"Local\\Quillset.StepMarks.4294967295");
    StepMarksName(0, name);
    EXPECT_EQ(std::wstring(name), L"Local\\Quillset.StepMarks.0");

    // As in a user's run: no block, nothing written, no clock read.
    OpenStepMarks();
    EXPECT_FALSE(StepMarksWanted());
    EXPECT_EQ(StepCounter(), 0);
    MarkStep(StepMark::EntryBegins);

    StepMarksName(GetCurrentProcessId(), name);
    UniqueHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(StepMarksBlock), name));
    ASSERT_TRUE(mapping);
    auto* block = static_cast<StepMarksBlock*>(
        MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(StepMarksBlock)));
    ASSERT_NE(block, nullptr);
    block->version = kStepMarksVersion;
    OpenStepMarks();
    ASSERT_TRUE(StepMarksWanted());

    MarkStepAt(StepMark::EntryBegins, 5);
    MarkStepAt(StepMark::EntryBegins, 7);  // a step reached again keeps its first stamp
    EXPECT_EQ(block->at[0], 5);
    EXPECT_EQ(block->at[static_cast<int>(StepMark::WinMainBegins)], 0);

    const std::int64_t from = StepCounter();
    AddSpan(StepSpan::Exchanges, from);
    AddSpan(StepSpan::Exchanges, from);
    MarkStep(StepMark::OkBegins);
    AddSpan(StepSpan::Exchanges, from);
    const int exchanges = static_cast<int>(StepSpan::Exchanges);
    EXPECT_EQ(block->spans[exchanges][0], 2);
    EXPECT_EQ(block->spans[exchanges][1], 1);
    EXPECT_GE(block->spent[exchanges][1], 0);
    UnmapViewOfFile(block);
}

}  // namespace
