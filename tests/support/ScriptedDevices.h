#pragma once
// A scripted stand-in for the device objects: each slot's path maps to a unit whose behaviour
// the test sets, and every open, control call and close is recorded in order, with the exact
// bytes each request carried.
//
// The exchanges run on the program's workers, as in the program. Time is scripted: a unit
// that holds a call keeps the worker inside it until the caller's waits for the exchange add
// up to the unit's hold, or the caller cancels (unless the unit refuses), or the test lets
// every held call go. Each wait first lets the exchange come to rest (ended, or held), so the
// record of events is the same in every run.

#include "driver/DeviceAccess.h"
#include "driver/DriverSettingsRecord.h"

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
    // How long, in the caller's waits, the unit holds a control request (holdMs) or an open
    // (holdOpenMs) before it answers: 0 answers at once, kHoldsForever only when it is
    // cancelled (or the test lets it go).
    DWORD holdMs = 0;
    DWORD holdOpenMs = 0;
    int opensAtOnce = 0;           // opens answered at once before holdOpenMs applies
    // How long, in the caller's waits, the exchange's thread is held after its last look at
    // whether the caller gave up and before its request reaches the unit: as a thread
    // preempted there would be. No cancel cuts it short; the request has not been made.
    DWORD holdBeforeSendMs = 0;
    bool refusesCancel = false;    // a cancelled call is held on all the same

    int opens = 0;
    int writes = 0;
};

struct DeviceEvent {
    enum Kind { Open, OpenFailed, Control, Close, Wait, Cancel } kind;
    int slot;
    DWORD code = 0;                   // Control: the code; Wait: the bound in milliseconds
    std::vector<std::uint8_t> input;  // Control: the bytes sent
    DWORD threadId = 0;               // Open, OpenFailed, Control, Close: the worker's
};

inline constexpr DWORD kHoldsForever = INFINITE;

class ScriptedDevices final : public DeviceAccess {
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
    void CancelRequests(HANDLE device) override;
    void Close(HANDLE device) override;
    bool WaitForExchange(DeviceExchange& exchange, DWORD milliseconds) override;
    void Cancel(DeviceExchange& exchange) override;

    int OpenHandles() const;
    int MaxOpenHandles() const;
    int ControlCalls(int slot = -1) const;
    std::vector<DeviceEvent> ControlsTo(int slot) const;
    std::vector<DeviceEvent::Kind> KindsFor(int slot) const;

    // Control requests the units still hold: after a channel operation, the ones it gave up on.
    std::vector<const DeviceRequest*> HeldRequests() const;
    // The units answer every call they still hold, late (a request into its memory), and the
    // exchanges that made them run to their end.
    void CompleteHeldRequests();
    // The workers that made the calls to slot, in order, each once.
    std::vector<DWORD> WorkersOf(int slot) const;

private:
    struct Held {
        DWORD threadId;
        int slot;
        DeviceRequest* request;      // null for an open
        DWORD holdMs;
        DWORD waitedMs = 0;
        bool cancelled = false;
        bool released = false;
        bool answers = false;        // let go to answer, not to fail
        bool cancellable = true;
    };

    // On the exchange's thread, under the lock: holds the call until it is let go; true when
    // it is to answer.
    bool Hold(std::unique_lock<std::mutex>& lock, int slot, DeviceRequest* request, DWORD holdMs,
              bool cancellable = true);
    // Until the exchange has ended (true) or its worker sits in a held call not let go (false).
    bool ComeToRest(std::unique_lock<std::mutex>& lock, const DeviceExchange& exchange,
                    Held*& held);
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
};

// Slot paths as start-up fills them.
struct DevicePathTable;
void FillStandardSlots(DevicePathTable& table);
std::vector<std::uint8_t> BytesOf(const void* data, std::size_t size);
