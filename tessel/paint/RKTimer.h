#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/CString.h"

#include <windows.h>

#include <mutex>
#include <vector>

namespace Tessel
{

// A set of periodic multimedia timers owned by one object. Callbacks arrive on the system's
// timer thread. Once KillTimer (any form) returns, no callback for the killed timer runs or is
// still running, so a deriving class may tear down what OnMTimer touches right after it.
// A deriving class must kill its timers in its own destructor (OnMTimer is its code).
class TESSEL_API RKTimer
{
public:
    RKTimer();
    RKTimer(const RKTimer&) = delete;
    RKTimer& operator=(const RKTimer&) = delete;
    virtual ~RKTimer();

    // Application timers (isApp non-zero) get this after OnMTimer(id).
    virtual void OnMTimer(UINT id, CString name);
    virtual void OnMTimer(UINT id) = 0;

    // Returns the system's timer id (0 when the system refused; that record is kept too).
    int SetTimer(UINT period, CString name, int isApp);
    // These return the number of records left.
    int KillTimer(UINT id);
    int KillTimer(CString name);
    void KillTimer();

    int GetTimerIsRun(UINT id);
    int GetTimerIsRun(CString name);
    int IsAppTimer(UINT id);
    CString GetTimerName(UINT id);

    static RKTimer* GetFSTimer(UINT id);
    static void CALLBACK TimerCallProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);

    // Process-wide timer resolution: set by the first SetTimer, ended with the last object.
    static bool IsResolutionSet();
    static UINT GetResolution();

private:
    struct Record
    {
        UINT id;
        CString name;
        int isApp;
    };

    // Stops the system timer and waits out a callback of it that is already running.
    void StopSystemTimer(UINT id);
    // Removes the first record the predicate matches and stops its timer; returns how many are left.
    template <typename Match> int KillFirstMatching(Match match);

    // Touched by the UI thread (SetTimer, KillTimer) and the timer thread (queries in callbacks).
    std::mutex m_recordsLock;
    std::vector<Record> m_records;
    // Held by the timer thread around OnMTimer; KillTimer takes it to wait out a running callback.
    // Recursive so that a callback may kill timers of its own object.
    std::recursive_mutex m_callbackLock;
};

} // namespace Tessel
