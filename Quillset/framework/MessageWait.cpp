#include "framework/MessageWait.h"

#include "framework/BusyCursor.h"

namespace {

class MessageReader {
public:
    // Dispatches what is queued now; after a WM_QUIT, sent messages only.
    void DispatchWaiting() {
        MSG message;
        if (quitSeen) {
            // Delivers the sent messages as a side effect and takes nothing from the queue.
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            return;
        }
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitSeen = true;
                quitCode = static_cast<int>(message.wParam);
                return;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

    DWORD WakeMask() const { return quitSeen ? QS_SENDMESSAGE : QS_ALLINPUT; }

    ~MessageReader() {
        if (quitSeen) ::PostQuitMessage(quitCode);
    }

private:
    bool quitSeen = false;
    int quitCode = 0;
};

// Waits for objectCount (0 or 1) objects until the bound passes; true when signalled.
bool Wait(DWORD objectCount, const HANDLE* objects, DWORD milliseconds) {
    // From here on the dialog repaints and the user may notice that it is busy.
    ShowBusyCursorIfHeld();
    MessageReader reader;
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD remaining = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        // MWMO_INPUTAVAILABLE: also wakes for messages that an earlier peek saw but left.
        const DWORD result = ::MsgWaitForMultipleObjectsEx(objectCount, objects, remaining,
                                                           reader.WakeMask(),
                                                           MWMO_INPUTAVAILABLE);
        if (objectCount > 0 && result == WAIT_OBJECT_0) return true;
        if (result == WAIT_OBJECT_0 + objectCount)
            reader.DispatchWaiting();
        else if (result != WAIT_TIMEOUT)
            return false;  // the wait itself failed
        // A timed wait may end a little before the clock says; messages may keep coming. A
        // dispatched message may also run past the bound while the object is signalled:
        // one last look, so that what did complete is never reported as unanswered.
        if (::GetTickCount64() >= deadline)
            return objectCount > 0 && ::WaitForSingleObject(objects[0], 0) == WAIT_OBJECT_0;
    }
}

}  // namespace

bool WaitReadingMessages(HANDLE object, DWORD milliseconds) {
    return Wait(1, &object, milliseconds);
}

void PauseReadingMessages(DWORD milliseconds) { Wait(0, nullptr, milliseconds); }
