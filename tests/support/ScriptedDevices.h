#pragma once
// A scripted stand-in for the device objects: each slot's path maps to a unit whose behaviour
// the test sets, and every open, control call and close is recorded in order, with the exact
// bytes each request carried.
//
// It is the clock the channel's waits run on, too. The exchanges run on the program's
// workers, and the program's own waits, bounds and cancels run as they are; only time is
// scripted. It passes only while the caller blocks for an exchange, once that exchange has
// come to rest (ended, or its worker held in a call), so the record of events, and the time
// each happened, are the same in every run. A unit that holds a call keeps the worker inside
// it until its hold has passed on this clock, or the call is cancelled (unless the unit
// refuses), or the test lets every held call go.

#include "driver/DeviceAccess.h"
#include "driver/DriverSettingsRecord.h"
#include "framework/WaitClock.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <vector>

struct ScriptedUnit {
    bool present = false;
    int opensAllowed = -1;         // -1: any number; otherwise later opens fail
    bool callFails = false;
    DriverSettingsRecord getAnswer;  // what IOCTL_GET_SETTINGS copies back
    std::vector<std::uint32_t> setStatuses;  // status of the 1st, 2nd ... write; then 0
    DWORD answerBytes = sizeof(DriverSettingsRecord);  // how much of the answer is copied back
    std::uint8_t setMarker = 0;    // nonzero: a write's answer also stamps entries[0].bytes[0]
    // How long the unit holds a control request (holdMs), an open (holdOpenMs) or a close
    // (holdCloseMs) before it answers: 0 answers at once, kHoldsForever only when it is
    // cancelled (or the test lets it go).
    DWORD holdMs = 0;
    DWORD holdOpenMs = 0;
    DWORD holdCloseMs = 0;
    int opensAtOnce = 0;           // opens answered at once before holdOpenMs applies
    // How long the exchange's thread is held after its last look at whether the caller gave
    // up and before its open (past opensAtOnce) or its request reaches the unit: as a thread
    // preempted there would be. No cancel cuts it short; the call has not been made.
    DWORD holdBeforeOpenMs = 0;
    DWORD holdBeforeSendMs = 0;
    bool refusesCancel = false;    // a cancelled call is held on all the same

    int opens = 0;
    int writes = 0;
};

struct DeviceEvent {
    // Cancel: of the requests on the slot's handle; CancelCall: of the open or close a worker
    // sits in (slot -1 when it sat in none).
    enum Kind { Open, OpenFailed, Control, Close, Cancel, CancelCall } kind;
    int slot;
    DWORD code = 0;                   // Control: the code
    std::vector<std::uint8_t> input;  // Control: the bytes sent
    DWORD threadId = 0;               // the thread that made the call
    ULONGLONG at = 0;                 // on the scripted clock
};

inline constexpr DWORD kHoldsForever = INFINITE;

class ScriptedDevices final : public DeviceAccess, public WaitClock {
public:
    ScriptedDevices() = default;
    // Lets every held call go, failed, and waits for the exchanges that held them to end.
    ~ScriptedDevices() override;
    ScriptedDevices(const ScriptedDevices&) = delete;
    ScriptedDevices& operator=(const ScriptedDevices&) = delete;

    // Set up and read by the test between operations.
    std::array<ScriptedUnit, 4> units;
    std::vector<DeviceEvent> events;

    HANDLE Open(const wchar_t* path) override;
    bool Send(HANDLE device, DWORD code, DeviceRequest& request) override;
    bool Finish(HANDLE device, DeviceRequest& request) override;
    void Close(HANDLE device) override;
    void CancelRequests(HANDLE device) override;
    void CancelBlockingCall(HANDLE thread) override;

    ULONGLONG Now() override;
    void Block(BackgroundWork& work, DWORD milliseconds, bool readMessages) override;

    int OpenHandles() const;
    int MaxOpenHandles() const;
    int ControlCalls(int slot = -1) const;
    std::vector<DeviceEvent> ControlsTo(int slot) const;
    // The calls to slot, in order, without the cancels.
    std::vector<DeviceEvent::Kind> KindsFor(int slot) const;
    // When the cancels of either kind reached slot, and when slot's calls were made.
    std::vector<ULONGLONG> CancelTimes(int slot) const;
    std::vector<ULONGLONG> CallTimes(int slot) const;

    // Control requests the units still hold: after a channel operation, the ones it gave up on.
    std::vector<const DeviceRequest*> HeldRequests() const;
    // The units answer every call they still hold, late (a request into its memory), and the
    // exchanges that made them run to their end.
    void CompleteHeldRequests();
    // The workers that made the calls to slot, in order, each once.
    std::vector<DWORD> WorkersOf(int slot) const;

private:
    // What a held thread sits in: a request (cancelled by CancelRequests), an open or a close
    // (cancelled by CancelBlockingCall), or the moment before a call (cancelled by nothing).
    enum class HeldIn { Request, OpenOrClose, BeforeCall };
    struct Held {
        DWORD threadId;
        int slot;
        HeldIn in;
        DeviceRequest* request;      // for a request
        ULONGLONG dueAt;             // on the clock; never, for a hold forever
        bool released = false;
        bool answers = false;        // let go to answer, not to fail
    };

    // On the exchange's thread, under the lock: holds the call until it is let go; true when
    // it is to answer.
    bool Hold(std::unique_lock<std::mutex>& lock, int slot, HeldIn in, DWORD holdMs,
              DeviceRequest* request = nullptr);
    // Lets go, failed, the calls of slot (or of thread, when slot is -1) held in what a
    // cancel reaches, unless the unit refuses.
    void CancelHeld(HeldIn in, int slot, DWORD threadId);
    // Until the work has ended or its worker sits in a held call not let go; false when it
    // did neither within a generous real-time bound.
    bool ComeToRest(std::unique_lock<std::mutex>& lock, const BackgroundWork& work);
    // The events of slot: its calls, or its cancels.
    std::vector<DeviceEvent> EventsFor(int slot, bool cancels) const;
    // Records a call made on the current thread.
    void Note(DeviceEvent::Kind kind, int slot, DWORD code = 0,
              std::vector<std::uint8_t> input = {});
    void LetAllGo(bool answer);
    // Writes the unit's answer into buffer; false when the call fails.
    bool Answer(int slot, DWORD code, std::uint8_t* buffer, DWORD size);

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::list<Held> held_;
    // The slot's last request: its code, and whether it was cancelled since it was sent.
    std::array<DWORD, 4> sentCode_{};
    std::array<bool, 4> requestCancelled_{};
    int openHandles_ = 0;
    int maxOpenHandles_ = 0;
    ULONGLONG now_ = 0;
};

// Slot paths as start-up fills them.
struct DevicePathTable;
void FillStandardSlots(DevicePathTable& table);
std::vector<std::uint8_t> BytesOf(const void* data, std::size_t size);
