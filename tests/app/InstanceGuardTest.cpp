// The single-instance guard: the mutex name, the open-then-create sequence of two copies that
// start at the same moment, and the search for the running copy's window.
#include "app/InstanceGuard.h"
#include "driver/AbandonedExchanges.h"
#include "driver/DriverChannel.h"
#include "support/ScriptedDevices.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A name of this test's own, so that a running program is never disturbed.
std::wstring TestMutexName(const wchar_t* what) {
    return L"QuillsetTest." + std::to_wstring(GetCurrentProcessId()) + L"." + what;
}

TEST(InstanceGuard, MutexNameIsTheMakersDomainAndTheFixedProgramFileName) {
    const std::wstring name = BuildInstanceMutexName();
    EXPECT_EQ(name, L"com.quillmere.Kzds0410.exe");
    // No kernel namespace: the mutex lives in the local namespace of the user's logon.
    EXPECT_EQ(name.find(L'\\'), std::wstring::npos);
}

TEST(InstanceGuard, TheFirstCopyCreatesTheMutexAndALaterOneFindsIt) {
    const std::wstring name = TestMutexName(L"sequence");
    EXPECT_FALSE(IsAnotherCopyRunning(name));
    {
        UniqueHandle first;
        ASSERT_TRUE(CreateInstanceMutex(name, first));
        ASSERT_TRUE(first);
        EXPECT_TRUE(IsAnotherCopyRunning(name));
    }
    // Gone with the first copy's handle: a copy started afterwards is a first copy again.
    EXPECT_FALSE(IsAnotherCopyRunning(name));
}

TEST(InstanceGuard, OfTwoCopiesPastTheOpenTestAtOnceOnlyTheEarlierGoesOn) {
    const std::wstring name = TestMutexName(L"race");
    // Both test for the mutex before either has created it.
    ASSERT_FALSE(IsAnotherCopyRunning(name));
    ASSERT_FALSE(IsAnotherCopyRunning(name));
    UniqueHandle earlier, later;
    EXPECT_TRUE(CreateInstanceMutex(name, earlier));
    EXPECT_FALSE(CreateInstanceMutex(name, later));
    // The later copy is about to end; the earlier one's handle alone keeps the guard.
    later.Reset();
    EXPECT_TRUE(IsAnotherCopyRunning(name));
}

TEST(InstanceGuard, TheMutexIsGivenUpAtTheEndOnlyAfterAnExchangeWasLeftBehind) {
    const std::wstring name = TestMutexName(L"end");
    UniqueHandle held;
    ASSERT_TRUE(CreateInstanceMutex(name, held));
    ASSERT_EQ(AbandonedExchangeCount(), 0u);
    ReleaseIfExchangesAbandoned(held);
    EXPECT_TRUE(IsAnotherCopyRunning(name));  // a normal run keeps it until the process ends

    // A unit whose driver never returns from an open, cancelled or not.
    ScriptedDevices devices;
    devices.units[0].present = true;
    devices.units[0].holdOpenMs = kHoldsForever;
    devices.units[0].refusesCancel = true;
    DevicePathTable slots;
    FillStandardSlots(slots);
    EXPECT_EQ(CountConnectedUnits(slots, devices, devices), 0);
    ASSERT_EQ(AbandonedExchangeCount(), 1u);
    ReleaseIfExchangesAbandoned(held);
    EXPECT_FALSE(held);
    EXPECT_FALSE(IsAnotherCopyRunning(name));
}

TEST(InstanceGuard, AMutexThatCannotBeCreatedDoesNotStopTheCopy) {
    const std::wstring name = TestMutexName(L"taken");
    // Another kind of object under the name: OpenMutexW and CreateMutexW both fail.
    UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(event);
    EXPECT_FALSE(IsAnotherCopyRunning(name));
    UniqueHandle held;
    EXPECT_TRUE(CreateInstanceMutex(name, held));
    EXPECT_FALSE(held);
}

// Hidden top-level windows of this test with chosen texts.
class TitledWindows : public ::testing::Test {
protected:
    void TearDown() override {
        for (HWND window : windows) DestroyWindow(window);
    }
    HWND Make(const std::wstring& text) {
        HWND window = CreateWindowExW(0, L"STATIC", text.c_str(), WS_POPUP, 0, 0, 50, 20,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        windows.push_back(window);
        return window;
    }
    static BOOL Offer(HWND window, const std::wstring& title) {
        RunningCopySearch search{title.c_str(), false, false};
        return ActivateMatchingWindow(window, reinterpret_cast<LPARAM>(&search));
    }
    std::vector<HWND> windows;
    const std::wstring title = L"Quillset guard test " + std::to_wstring(GetCurrentProcessId());
};

TEST_F(TitledWindows, AWindowWhoseTextBeginsWithTheTitleIsShownAndStopsTheSearch) {
    const HWND exact = Make(title);
    const HWND longer = Make(title + L" - more");
    ASSERT_TRUE(exact && longer);
    EXPECT_EQ(Offer(longer, title), FALSE);
    EXPECT_TRUE(IsWindowVisible(longer));
    EXPECT_EQ(Offer(exact, title), FALSE);
    EXPECT_TRUE(IsWindowVisible(exact));
}

TEST_F(TitledWindows, OtherLetterCaseAndShorterTextsDoNotMatch) {
    std::wstring lower = title;
    for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
    const HWND otherCase = Make(lower);
    const HWND shorter = Make(title.substr(0, title.size() - 1));
    const HWND empty = Make(L"");
    for (HWND window : {otherCase, shorter, empty}) {
        ASSERT_TRUE(window);
        EXPECT_EQ(Offer(window, title), TRUE);
        EXPECT_FALSE(IsWindowVisible(window));
    }
}

TEST_F(TitledWindows, TheEnumerationBringsForwardOneWindowOnlyTheFirstThatTakesInputFirst) {
    const HWND a = Make(title);
    const HWND b = Make(title + L" (2)");
    ASSERT_TRUE(a && b);
    ActivateRunningCopyWindow(title);
    EXPECT_EQ(IsWindowVisible(a) + IsWindowVisible(b), 1);

    // As the settings dialog, disabled, beside the device-not-connected dialog after OK: the
    // one that takes input comes to the front, whichever comes first.
    const HWND other = Make(L"");
    ShowWindow(a, SW_SHOW);
    ShowWindow(b, SW_SHOW);
    for (HWND disabled : {a, b}) {
        const HWND enabled = disabled == a ? b : a;
        EnableWindow(disabled, FALSE);
        EnableWindow(enabled, TRUE);
        SetWindowPos(disabled, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowWindow(other, SW_SHOW);
        SetForegroundWindow(other);
        ActivateRunningCopyWindow(title);
        EXPECT_EQ(GetForegroundWindow(), enabled);
    }
}

// As the settings dialog under a message box: disabled, with the window it owns that was
// active last over it.
TEST_F(TitledWindows, TheEnabledWindowItOwnsThatWasActiveLastComesToTheFrontInstead) {
    const HWND owner = Make(title);
    const HWND other = Make(L"");
    ASSERT_TRUE(owner && other);
    const HWND box = CreateWindowExW(0, L"STATIC", L" ", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, owner,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(box, nullptr);
    windows.insert(windows.begin(), box);
    ShowWindow(owner, SW_SHOW);
    SetForegroundWindow(box);
    EnableWindow(owner, FALSE);
    ShowWindow(other, SW_SHOW);
    SetForegroundWindow(other);
    ASSERT_EQ(GetLastActivePopup(owner), box);
    EXPECT_EQ(Offer(owner, title), FALSE);
    EXPECT_EQ(GetForegroundWindow(), box);
    // One that takes no input itself is no better: the window found comes to the front.
    EnableWindow(box, FALSE);
    SetForegroundWindow(other);
    EXPECT_EQ(Offer(owner, title), FALSE);
    EXPECT_EQ(GetForegroundWindow(), owner);
}

TEST_F(TitledWindows, ALongWindowTextIsComparedOnItsFirstCharacters) {
    // Past the 514 characters that are read, the text no longer matters.
    const std::wstring longTitle = title + std::wstring(600, L'x');
    const HWND window = Make(longTitle);
    ASSERT_TRUE(window);
    EXPECT_EQ(Offer(window, title), FALSE);
    EXPECT_EQ(Offer(window, longTitle), TRUE);
    EXPECT_EQ(Offer(window, longTitle.substr(0, 514)), FALSE);
}

}  // namespace
