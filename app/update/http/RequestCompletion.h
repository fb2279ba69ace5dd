#pragma once

#include "app/platform/KernelHandle.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <vector>

// Where an asynchronous WinINet request reports back. WinINet's own threads complete the pending
// call and run StatusCallback; the update worker waits for it in Wait. A request given up is closed
// while its call may still run on WinINet's thread, which may then still write the results and call
// back, so each request handle owns a reference of its own (its context value, a heap-held
// shared_ptr) that StatusCallback deletes when WinINet reports the handle closed.
class RequestCompletion
{
public:
    RequestCompletion();

    // The status callback for the session handle; the request handles inherit it.
    static void CALLBACK StatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info,
                                        DWORD infoLength);
    // A new reference for a request handle's context; StatusCallback gives it back when the handle
    // closes. DropHandleReference for one that no handle took.
    static DWORD_PTR HandleReference(const std::shared_ptr<RequestCompletion>& completion);
    static void DropHandleReference(DWORD_PTR context);

    bool IsReady() const { return static_cast<bool>(m_event); }
    // Worker, before each call that may go pending.
    void Arm() { ResetEvent(m_event.get()); }
    // Worker: waits for the pending call; WAIT_OBJECT_0 once it completed.
    DWORD Wait(DWORD milliseconds) const { return WaitForSingleObject(m_event.get(), milliseconds); }
    // Worker, after the event: how the pending call ended (ERROR_SUCCESS or its code).
    DWORD Error() const { return m_error.load(); }

    // What WinINet writes through the pointers it is given, at once or on its own thread before it
    // sets the event; the worker reads them only after one of those, so the event orders them.
    DWORD available = 0;
    DWORD read = 0;
    std::vector<char> buffer;

private:
    void Complete(const INTERNET_ASYNC_RESULT& result);

    KernelHandle m_event;          // manual reset: the worker resets, WinINet's thread sets
    std::atomic<DWORD> m_error{0}; // WinINet's thread writes before setting the event
};
