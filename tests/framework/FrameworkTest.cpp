#include "FrameworkTestIds.h"
#include "framework/Application.h"
#include "framework/BusyCursor.h"
#include "framework/MessageWait.h"
#include "framework/ModalDialog.h"
#include "framework/UniqueHandle.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kAfterOpen = 0x7001;

// A dialog that records what the framework did to it. afterOpen runs from a command posted
// during initialisation, so after the framework has placed the window.
class CProbeDialog : public CModalDialog {
public:
    CProbeDialog(UINT templateId, HWND parent) : CModalDialog(templateId, parent) {}

    using CModalDialog::BeginEnding;
    using CModalDialog::BusyScope;
    using CModalDialog::EndDialog;
    using CModalDialog::EndSessionBlock;
    using CModalDialog::UpdateData;

    int twoState = 0;
    int threeState = 0;
    CButtonControl bound;
    int exchangesInto = 0;
    int exchangesFrom = 0;
    LRESULT shownTwoState = -1;
    LRESULT shownThreeState = -1;
    RECT atInit{};
    RECT whenOpen{};
    bool moveDuringInit = false;
    bool showDuringInit = false;
    int paints = 0;
    int cancels = 0;
    HICON dragIcon = nullptr;
    std::function<void(CProbeDialog&)> afterOpen = [](CProbeDialog& d) { d.EndDialog(0); };

    HWND Control(int id) const { return GetDlgItem(GetHandle(), id); }

protected:
    void DoDataExchange(CDataExchange& dx) override {
        ++(dx.IsFromControls() ? exchangesFrom : exchangesInto);
        dx.ExchangeCheck(IDC_PROBE_TWO_STATE, twoState);
        dx.ExchangeCheck(IDC_PROBE_THREE_STATE, threeState);
        dx.BindControl(IDC_PROBE_BOUND, bound);
    }

    BOOL OnInitDialog() override {
        GetWindowRect(GetHandle(), &atInit);
        const BOOL result = CModalDialog::OnInitDialog();
        shownTwoState = SendMessageW(Control(IDC_PROBE_TWO_STATE), BM_GETCHECK, 0, 0);
        shownThreeState = SendMessageW(Control(IDC_PROBE_THREE_STATE), BM_GETCHECK, 0, 0);
        if (moveDuringInit) SetWindowPos(GetHandle(), nullptr, 5, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (showDuringInit) ShowWindow(GetHandle(), SW_SHOWNA);
        PostMessageW(GetHandle(), WM_COMMAND, kAfterOpen, 0);
        return result;
    }

    bool OnCommand(UINT id, UINT code) override {
        if (id != kAfterOpen) return CModalDialog::OnCommand(id, code);
        GetWindowRect(GetHandle(), &whenOpen);
        afterOpen(*this);
        return true;
    }

    bool OnPaint() override {
        ++paints;
        PAINTSTRUCT paint;
        BeginPaint(GetHandle(), &paint);
        EndPaint(GetHandle(), &paint);
        return true;
    }

    HICON OnQueryDragIcon() override { return dragIcon; }

    void OnCancel() override {
        ++cancels;
        CModalDialog::OnCancel();
    }
};

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

// Where a box of the dialog's size lands when centred over center.
POINT CentredOver(const RECT& center, const RECT& box) {
    return {(center.left + center.right) / 2 - Width(box) / 2,
            (center.top + center.bottom) / 2 - Height(box) / 2};
}

void ExpectAt(const RECT& r, POINT at) {
    EXPECT_EQ(r.left, at.x);
    EXPECT_EQ(r.top, at.y);
}

// For as long as it lives, this test program's import of one function of a system library
// leads to a function of the test's own instead, so that a test sees what the code under test
// asks the platform for, and what the platform answers.
class ImportReplacement {
public:
    template <typename Function>
    ImportReplacement(const char* library, const char* name, Function replacement)
        : slot(FindSlot(library, name)) {
        if (!slot) return;
        original = *slot;
        Write(reinterpret_cast<ULONG_PTR>(replacement));
    }
    ~ImportReplacement() {
        if (slot) Write(original);
    }
    ImportReplacement(const ImportReplacement&) = delete;
    ImportReplacement& operator=(const ImportReplacement&) = delete;

    bool InPlace() const { return slot != nullptr; }

private:
    // The import address table entry that holds the function: the loader filled it with the
    // address GetProcAddress gives.
    static ULONG_PTR* FindSlot(const char* library, const char* name) {
        const HMODULE system = GetModuleHandleA(library);
        const ULONG_PTR target =
            system ? reinterpret_cast<ULONG_PTR>(GetProcAddress(system, name)) : 0;
        if (!target) return nullptr;
        auto* image = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (imports.VirtualAddress == 0) return nullptr;
        for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
                 image + imports.VirtualAddress);
             entry->Name != 0; ++entry) {
            if (lstrcmpiA(reinterpret_cast<const char*>(image + entry->Name), library) != 0)
                continue;
            for (auto* thunk = reinterpret_cast<ULONG_PTR*>(image + entry->FirstThunk); *thunk;
                 ++thunk)
                if (*thunk == target) return thunk;
        }
        return nullptr;
    }

    void Write(ULONG_PTR value) {
        DWORD protection = 0;
        if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return;
        *slot = value;
        VirtualProtect(slot, sizeof *slot, protection, &protection);
    }

    ULONG_PTR* slot = nullptr;
    ULONG_PTR original = 0;
};

// The shutdown block reason as the dialog asks for it. Windows' calls are replaced while a
// test watches them: Wine's create is a stub that fails, and its query ends the process, so
// the reason itself can be looked at nowhere the suite runs; what the dialog asks for can.
struct ReasonCalls {
    BOOL createAnswers = TRUE;  // what the platform answers a create with
    std::vector<HWND> createdFor;
    std::vector<std::wstring> createdWith;
    std::vector<HWND> destroyedFor;
};
ReasonCalls reasonCalls;

BOOL WINAPI RecordReasonCreate(HWND window, LPCWSTR reason) {
    reasonCalls.createdFor.push_back(window);
    reasonCalls.createdWith.emplace_back(reason ? reason : L"(null)");
    return reasonCalls.createAnswers;
}

BOOL WINAPI RecordReasonDestroy(HWND window) {
    reasonCalls.destroyedFor.push_back(window);
    return TRUE;
}

class ReasonWatch {
public:
    explicit ReasonWatch(BOOL createAnswers) {
        reasonCalls = ReasonCalls{};
        reasonCalls.createAnswers = createAnswers;
    }
    bool InPlace() const { return create.InPlace() && destroy.InPlace(); }

private:
    ImportReplacement create{"user32.dll", "ShutdownBlockReasonCreate", &RecordReasonCreate};
    ImportReplacement destroy{"user32.dll", "ShutdownBlockReasonDestroy", &RecordReasonDestroy};
};

// A visible top-level window to own the dialog.
class OwnerWindow {
public:
    OwnerWindow(int x, int y, int width, int height)
        : handle(CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                                 width, height, nullptr, nullptr, GetModuleHandleW(nullptr),
                                 nullptr)) {}
    ~OwnerWindow() { DestroyWindow(handle); }
    HWND handle;
    RECT Rect() const {
        RECT r{};
        GetWindowRect(handle, &r);
        return r;
    }
};

TEST(DialogDataExchange, InitialisationSetsTheControlsAndResetsAnOutOfRangeState) {
    CProbeDialog dialog(IDD_PROBE_CENTRED, nullptr);
    dialog.twoState = 5;
    dialog.threeState = BST_INDETERMINATE;
    EXPECT_EQ(dialog.DoModal(), 0);
    EXPECT_EQ(dialog.exchangesInto, 1);
    EXPECT_EQ(dialog.exchangesFrom, 0);
    EXPECT_EQ(dialog.twoState, 0);
    EXPECT_EQ(dialog.shownTwoState, BST_UNCHECKED);
    EXPECT_EQ(dialog.shownThreeState, BST_INDETERMINATE);

    CProbeDialog negative(IDD_PROBE_CENTRED, nullptr);
    negative.twoState = BST_CHECKED;
    negative.threeState = -1;
    negative.DoModal();
    EXPECT_EQ(negative.shownTwoState, BST_CHECKED);
    EXPECT_EQ(negative.threeState, 0);
    EXPECT_EQ(negative.shownThreeState, BST_UNCHECKED);
}

TEST(DialogDataExchange, OkReadsTheControlsBackAndEndsWithIdOk) {
    CProbeDialog dialog(IDD_PROBE_CENTRED, nullptr);
    dialog.threeState = BST_CHECKED;
    dialog.afterOpen = [](CProbeDialog& d) {
        SendMessageW(d.Control(IDC_PROBE_TWO_STATE), BM_CLICK, 0, 0);
        SendMessageW(d.Control(IDC_PROBE_THREE_STATE), BM_SETCHECK, BST_INDETERMINATE, 0);
        SendMessageW(d.Control(IDOK), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.exchangesFrom, 1);
    EXPECT_EQ(dialog.twoState, BST_CHECKED);
    EXPECT_EQ(dialog.threeState, BST_INDETERMINATE);
}

TEST(DialogDataExchange, CancelAndEscapeEndWithIdCancelWithoutReadingTheControls) {
    CProbeDialog cancelled(IDD_PROBE_CENTRED, nullptr);
    cancelled.afterOpen = [](CProbeDialog& d) {
        SendMessageW(d.Control(IDC_PROBE_TWO_STATE), BM_CLICK, 0, 0);
        SendMessageW(d.Control(IDCANCEL), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.exchangesFrom, 0);
    EXPECT_EQ(cancelled.twoState, 0);

    // Escape goes through the modal loop's own keyboard handling.
    CProbeDialog escaped(IDD_PROBE_CENTRED, nullptr);
    escaped.afterOpen = [](CProbeDialog& d) {
        const HWND focus = d.Control(IDC_PROBE_TWO_STATE);
        PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(focus, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
    };
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);
    EXPECT_EQ(escaped.exchangesFrom, 0);
}

TEST(DialogDataExchange, BindsTheMemberToItsControlOnce) {
    CProbeDialog dialog(IDD_PROBE_CENTRED, nullptr);
    HWND boundAtOpen = nullptr;
    HWND boundAfterSecondExchange = nullptr;
    BOOL enabledAfterDisable = TRUE;
    dialog.afterOpen = [&](CProbeDialog& d) {
        boundAtOpen = d.bound.GetHandle();
        EXPECT_EQ(boundAtOpen, d.Control(IDC_PROBE_BOUND));
        d.UpdateData(false);
        boundAfterSecondExchange = d.bound.GetHandle();
        d.bound.Enable(false);
        enabledAfterDisable = IsWindowEnabled(d.Control(IDC_PROBE_BOUND));
        d.EndDialog(42);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_NE(boundAtOpen, nullptr);
    EXPECT_EQ(boundAfterSecondExchange, boundAtOpen);
    EXPECT_FALSE(enabledAfterDisable);
    EXPECT_EQ(dialog.exchangesInto, 2);
    // The window is gone and the object no longer refers to it.
    EXPECT_EQ(dialog.GetHandle(), nullptr);
}

TEST(ModalDialog, AMissingTemplateGivesMinusOne) {
    CProbeDialog dialog(999, nullptr);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(ModalDialog, PaintAndDragIconReachTheirHooks) {
    CProbeDialog dialog(IDD_PROBE_CENTRED, nullptr);
    dialog.dragIcon = LoadIconW(nullptr, IDI_APPLICATION);
    LRESULT answer = 0;
    dialog.afterOpen = [&](CProbeDialog& d) {
        ShowWindow(d.GetHandle(), SW_SHOWNA);
        InvalidateRect(d.GetHandle(), nullptr, TRUE);
        UpdateWindow(d.GetHandle());
        answer = SendMessageW(d.GetHandle(), WM_QUERYDRAGICON, 0, 0);
        d.EndDialog(0);
    };
    dialog.DoModal();
    EXPECT_GT(dialog.paints, 0);
    EXPECT_EQ(answer, reinterpret_cast<LRESULT>(dialog.dragIcon));
}

// What a user, or another program, may do to a dialog while it waits for its work.
void PostEveryWayToEndIt(HWND dialog) {
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

TEST(ModalDialog, WhileBusyOrEndingNothingEndsItEvenEnabledFromOutsideAndTheFocusComesBack) {
    CProbeDialog dialog(IDD_PROBE_CENTRED, nullptr);
    BOOL enabledWhileBusy = TRUE;
    HWND focusBefore = nullptr;
    HWND focusAfter = nullptr;
    LRESULT answerWhileBlocked = -1;
    LRESULT answerAfter = -1;
    const ReasonWatch watch(TRUE);
    ASSERT_TRUE(watch.InPlace()) << "no import of the reason's create and destroy to watch";
    HWND window = nullptr;
    ReasonCalls whileBlocked;
    dialog.afterOpen = [&](CProbeDialog& d) {
        focusBefore = d.Control(IDC_PROBE_THREE_STATE);
        SetFocus(focusBefore);
        {
            CProbeDialog::BusyScope busy(d);
            enabledWhileBusy = IsWindowEnabled(d.GetHandle());
            // As an "enable it" tool or a script would.
            EnableWindow(d.GetHandle(), TRUE);
            PostEveryWayToEndIt(d.GetHandle());
            // The work's waits dispatch all of it.
            PauseReadingMessages(200);
            // Sent straight to the window, through no queue.
            SendMessageW(d.Control(IDOK), BM_CLICK, 0, 0);
            SendMessageW(d.GetHandle(), WM_COMMAND, IDCANCEL, 0);
            SendMessageW(d.GetHandle(), WM_CLOSE, 0, 0);
        }
        EXPECT_TRUE(IsWindowEnabled(d.GetHandle()));
        focusAfter = GetFocus();
        window = d.GetHandle();
        {
            CProbeDialog::EndSessionBlock block(d, L"Probe");
            answerWhileBlocked = SendMessageW(d.GetHandle(), WM_QUERYENDSESSION, 0, 0);
            whileBlocked = reasonCalls;
        }
        answerAfter = SendMessageW(d.GetHandle(), WM_QUERYENDSESSION, 0, 0);

        // Once its end has begun, enabled and not busy, it still acts on nothing sent to it.
        d.BeginEnding();
        PostEveryWayToEndIt(d.GetHandle());
        PauseReadingMessages(200);
        SendMessageW(d.Control(IDOK), BM_CLICK, 0, 0);
        SendMessageW(d.GetHandle(), WM_CLOSE, 0, 0);
        d.EndDialog(42);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_FALSE(enabledWhileBusy);
    EXPECT_EQ(dialog.exchangesFrom, 0);  // OK never ran
    EXPECT_EQ(dialog.cancels, 0);
    EXPECT_EQ(focusAfter, focusBefore);  // disabling took it, the end of the scope gives it back
    EXPECT_EQ(answerWhileBlocked, 0);  // the session's end refused
    EXPECT_NE(answerAfter, 0);
    // The reason Windows shows goes with the block: asked for with it, for the dialog's window,
    // and taken back when it ends.
    EXPECT_EQ(whileBlocked.createdFor, std::vector<HWND>{window});
    EXPECT_EQ(whileBlocked.createdWith, std::vector<std::wstring>{L"Probe"});
    EXPECT_TRUE(whileBlocked.destroyedFor.empty());
    EXPECT_EQ(reasonCalls.createdFor.size(), 1u);
    EXPECT_EQ(reasonCalls.destroyedFor, std::vector<HWND>{window});
}

TEST(ModalDialog, WhereWindowsKeepsNoReasonTheSessionsEndIsRefusedAllTheSame) {
    // As under Wine, whose ShutdownBlockReasonCreate fails.
    const ReasonWatch watch(FALSE);
    ASSERT_TRUE(watch.InPlace()) << "no import of the reason's create and destroy to watch";
    CProbeDialog dialog(IDD_PROBE_CENTRED, nullptr);
    LRESULT answerWhileBlocked = -1;
    LRESULT answerAfter = -1;
    std::size_t asked = 0;
    dialog.afterOpen = [&](CProbeDialog& d) {
        {
            CProbeDialog::EndSessionBlock block(d, L"Probe");
            answerWhileBlocked = SendMessageW(d.GetHandle(), WM_QUERYENDSESSION, 0, 0);
            asked = reasonCalls.createdFor.size();
        }
        answerAfter = SendMessageW(d.GetHandle(), WM_QUERYENDSESSION, 0, 0);
        d.EndDialog(42);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_EQ(asked, 1u);
    EXPECT_EQ(answerWhileBlocked, 0);
    EXPECT_NE(answerAfter, 0);
    // No reason was kept, so none is taken back.
    EXPECT_TRUE(reasonCalls.destroyedFor.empty());
}

TEST(MessageWait, MessagesAreDispatchedWhileWaitingAndTheObjectEndsTheWait) {
    // Only a timer message, dispatched by the wait itself, can signal the event.
    static HANDLE event;
    UniqueHandle owner(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    event = owner.Get();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        SetEvent(event);
    });
    ASSERT_NE(timer, 0u);
    EXPECT_TRUE(WaitReadingMessages(owner.Get(), 20000));
    KillTimer(nullptr, timer);

    CProbeDialog dialog(IDD_PROBE_CENTRED, nullptr);
    int paintsInPause = 0;
    dialog.afterOpen = [&](CProbeDialog& d) {
        const int before = d.paints;
        InvalidateRect(d.GetHandle(), nullptr, TRUE);
        PauseReadingMessages(100);
        paintsInPause = d.paints - before;
        d.EndDialog(0);
    };
    dialog.showDuringInit = true;
    dialog.DoModal();
    EXPECT_GT(paintsInPause, 0);
}

TEST(MessageWait, AnObjectSignalledWhileADispatchedMessageRunsPastTheBoundCountsAsSignalled) {
    static HANDLE event;
    UniqueHandle owner(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    event = owner.Get();
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        SetEvent(event);
        Sleep(400);
    });
    ASSERT_NE(timer, 0u);
    Sleep(50);  // due before the wait starts: its first look dispatches it
    EXPECT_TRUE(WaitReadingMessages(owner.Get(), 100));
}

// Work that ends within a wait's quiet start shows no wait cursor; a wait that reads messages,
// where the user may notice the busy dialog, shows it until the busy scope ends.
TEST(MessageWait, TheWaitCursorShowsOnlyOnceABusyWaitReadsMessages) {
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    PauseReadingMessages(10);  // not busy: no wait cursor
    EXPECT_EQ(GetCursor(), arrow);
    {
        BusyCursor busy;
        EXPECT_EQ(GetCursor(), arrow);
        {
            BusyCursor nested;
            PauseReadingMessages(10);
            EXPECT_EQ(GetCursor(), WaitCursor());
        }
        EXPECT_EQ(GetCursor(), WaitCursor());  // the outer scope still waits
    }
    EXPECT_EQ(GetCursor(), arrow);
}

TEST(MessageWait, TheBoundIsKeptAndAQuitIsPostedAgain) {
    UniqueHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    for (DWORD bound : {0u, 300u}) {
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(WaitReadingMessages(never.Get(), bound));
        EXPECT_GE(GetTickCount64() - start, bound);
    }

    PostQuitMessage(7);
    EXPECT_FALSE(WaitReadingMessages(never.Get(), 100));
    PauseReadingMessages(100);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
}

TEST(DialogPlacement, WithoutOwnerTheDialogIsCentredInTheWorkArea) {
    for (UINT templateId : {IDD_PROBE_CENTRED, IDD_PROBE_CLASSIC}) {
        CProbeDialog dialog(templateId, nullptr);
        dialog.DoModal();
        ExpectAt(dialog.whenOpen, CentredOver(WorkArea(), dialog.whenOpen));
    }
}

TEST(DialogPlacement, APlacedTemplateOrAWindowMovedOrShownInInitialisationIsLeftAlone) {
    CProbeDialog positioned(IDD_PROBE_POSITIONED, nullptr);
    positioned.DoModal();
    ExpectAt(positioned.whenOpen, {positioned.atInit.left, positioned.atInit.top});

    CProbeDialog moved(IDD_PROBE_CENTRED, nullptr);
    moved.moveDuringInit = true;
    moved.DoModal();
    ExpectAt(moved.whenOpen, {5, 7});

    CProbeDialog shown(IDD_PROBE_CENTRED, nullptr);
    shown.showDuringInit = true;
    shown.DoModal();
    ExpectAt(shown.whenOpen, {shown.atInit.left, shown.atInit.top});
}

TEST(DialogPlacement, AVisibleOwnerIsCentredOverAndDisabledMeanwhile) {
    OwnerWindow owner(100, 80, 600, 500);
    CProbeDialog dialog(IDD_PROBE_CENTRED, owner.handle);
    BOOL ownerEnabled = TRUE;
    dialog.afterOpen = [&](CProbeDialog& d) {
        ownerEnabled = IsWindowEnabled(owner.handle);
        d.EndDialog(0);
    };
    dialog.DoModal();
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.handle));
    ExpectAt(dialog.whenOpen, CentredOver(owner.Rect(), dialog.whenOpen));
}

TEST(DialogPlacement, TheDialogIsKeptInsideTheWorkArea) {
    const RECT area = WorkArea();
    OwnerWindow lowerRight(area.right - 60, area.bottom - 40, 100, 80);
    CProbeDialog pushedBack(IDD_PROBE_CENTRED, lowerRight.handle);
    pushedBack.DoModal();
    EXPECT_EQ(pushedBack.whenOpen.right, area.right);
    EXPECT_EQ(pushedBack.whenOpen.bottom, area.bottom);

    OwnerWindow upperLeft(area.left - 50, area.top - 30, 100, 80);
    CProbeDialog pulledIn(IDD_PROBE_CENTRED, upperLeft.handle);
    pulledIn.DoModal();
    ExpectAt(pulledIn.whenOpen, {area.left, area.top});
}

TEST(DialogPlacement, AHiddenOrMinimisedOwnerGivesTheWorkArea) {
    OwnerWindow hidden(100, 80, 600, 500);
    ShowWindow(hidden.handle, SW_HIDE);
    CProbeDialog overHidden(IDD_PROBE_CENTRED, hidden.handle);
    overHidden.DoModal();
    ExpectAt(overHidden.whenOpen, CentredOver(WorkArea(), overHidden.whenOpen));

    OwnerWindow minimised(100, 80, 600, 500);
    ShowWindow(minimised.handle, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(minimised.handle));
    CProbeDialog overMinimised(IDD_PROBE_CENTRED, minimised.handle);
    overMinimised.DoModal();
    ExpectAt(overMinimised.whenOpen, CentredOver(WorkArea(), overMinimised.whenOpen));
}

class CountingApp : public CApplication {
public:
    int startUps = 0;
    std::wstring titleAtStartUp;

protected:
    bool InitInstance() override {
        ++startUps;
        titleAtStartUp = GetAppTitle();
        return true;
    }
};

TEST(Application, RunLoadsTheTitleThenStartsUpOnce) {
    {
        CountingApp app;
        EXPECT_EQ(CApplication::Get(), &app);
        EXPECT_EQ(app.Run(GetModuleHandleW(nullptr)), 0);
        EXPECT_EQ(app.startUps, 1);
        // This program has no string 57344: its file name without folder and extension.
        EXPECT_EQ(app.titleAtStartUp, L"framework_tests");
        EXPECT_EQ(app.GetInstance(), GetModuleHandleW(nullptr));
    }
    EXPECT_EQ(CApplication::Get(), nullptr);
}

}  // namespace
