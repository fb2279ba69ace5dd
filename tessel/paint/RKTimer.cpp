#include "tessel/paint/RKTimer.h"

#include <mmsystem.h>

#include <algorithm>

namespace Tessel
{

namespace
{
// Process-wide state, touched by every thread that creates, uses or destroys timers and by the
// timer thread (GetFSTimer, callbacks); all of it under g_lock.
std::mutex g_lock;
std::vector<RKTimer*>& LiveTimers()
{
    static std::vector<RKTimer*> list;
    return list;
}
bool g_resolutionSet = false;
UINT g_resolution = 0;
} // namespace

RKTimer::RKTimer()
{
    std::lock_guard<std::mutex> guard(g_lock);
    LiveTimers().push_back(this);
}

RKTimer::~RKTimer()
{
    KillTimer();
    std::lock_guard<std::mutex> guard(g_lock);
    auto& list = LiveTimers();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    // timeBeginPeriod ran once for the process; end it once, with the last object.
    if (list.empty() && g_resolutionSet)
    {
        timeEndPeriod(g_resolution);
        g_resolutionSet = false;
        g_resolution = 0;
    }
}

void RKTimer::OnMTimer(UINT, CString) {}

int RKTimer::SetTimer(UINT period, CString name, int isApp)
{
    UINT resolution = 0;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (!g_resolutionSet)
        {
            TIMECAPS caps{};
            if (timeGetDevCaps(&caps, sizeof(caps)) == MMSYSERR_NOERROR)
            {
                UINT res = caps.wPeriodMin;
                if (res < 1)
                    res = 1;
                if (res > caps.wPeriodMax)
                    res = caps.wPeriodMax;
                timeBeginPeriod(res);
                g_resolution = res;
                g_resolutionSet = true;
            }
        }
        resolution = g_resolution;
    }
    const UINT id =
        timeSetEvent(period, resolution, &RKTimer::TimerCallProc, reinterpret_cast<DWORD_PTR>(this),
                     TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    std::lock_guard<std::mutex> guard(m_recordsLock);
    m_records.push_back(Record{id, name, isApp});
    return static_cast<int>(id);
}

void RKTimer::StopSystemTimer(UINT id)
{
    timeKillEvent(id);
    // A callback that started before the kill holds this lock until it is done; the record is
    // already gone, so any later one does nothing.
    std::lock_guard<std::recursive_mutex> wait(m_callbackLock);
}

template <typename Match> int RKTimer::KillFirstMatching(Match match)
{
    bool found = false;
    UINT id = 0;
    int left = 0;
    {
        std::lock_guard<std::mutex> guard(m_recordsLock);
        auto it = std::find_if(m_records.begin(), m_records.end(), match);
        if (it != m_records.end())
        {
            id = it->id;
            m_records.erase(it);
            found = true;
        }
        left = static_cast<int>(m_records.size());
    }
    // Stopped outside the lock: stopping waits out a running callback, which may query the records.
    if (found)
        StopSystemTimer(id);
    return left;
}

int RKTimer::KillTimer(UINT id)
{
    return KillFirstMatching([id](const Record& r) { return r.id == id; });
}

int RKTimer::KillTimer(CString name)
{
    return KillFirstMatching([&name](const Record& r) { return r.name == name; });
}

void RKTimer::KillTimer()
{
    std::vector<Record> gone;
    {
        std::lock_guard<std::mutex> guard(m_recordsLock);
        gone.swap(m_records);
    }
    for (const Record& r : gone)
        timeKillEvent(r.id);
    if (!gone.empty())
        std::lock_guard<std::recursive_mutex> wait(m_callbackLock);
}

int RKTimer::GetTimerIsRun(UINT id)
{
    std::lock_guard<std::mutex> guard(m_recordsLock);
    return std::any_of(m_records.begin(), m_records.end(), [id](const Record& r) { return r.id == id; }) ? 1
                                                                                                         : 0;
}

int RKTimer::GetTimerIsRun(CString name)
{
    std::lock_guard<std::mutex> guard(m_recordsLock);
    return std::any_of(m_records.begin(), m_records.end(),
                       [&name](const Record& r) { return r.name == name; })
               ? 1
               : 0;
}

int RKTimer::IsAppTimer(UINT id)
{
    std::lock_guard<std::mutex> guard(m_recordsLock);
    for (const Record& r : m_records)
        if (r.id == id)
            return r.isApp;
    return 0;
}

CString RKTimer::GetTimerName(UINT id)
{
    std::lock_guard<std::mutex> guard(m_recordsLock);
    for (const Record& r : m_records)
        if (r.id == id)
            return r.name;
    return CString();
}

RKTimer* RKTimer::GetFSTimer(UINT id)
{
    std::lock_guard<std::mutex> guard(g_lock);
    for (RKTimer* t : LiveTimers())
        if (t->GetTimerIsRun(id))
            return t;
    return nullptr;
}

void CALLBACK RKTimer::TimerCallProc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    RKTimer* self = reinterpret_cast<RKTimer*>(user);
    if (!self)
        return;
    std::unique_lock<std::recursive_mutex> running;
    {
        // The object may be in its destructor: only touch it while it is still listed, and
        // hold its callback lock before the list lets go so it cannot vanish underneath.
        std::lock_guard<std::mutex> guard(g_lock);
        const auto& list = LiveTimers();
        if (std::find(list.begin(), list.end(), self) == list.end())
            return;
        running = std::unique_lock<std::recursive_mutex>(self->m_callbackLock);
    }
    bool isApp = false;
    CString name;
    {
        std::lock_guard<std::mutex> guard(self->m_recordsLock);
        auto it = std::find_if(self->m_records.begin(), self->m_records.end(),
                               [id](const Record& r) { return r.id == id; });
        if (it == self->m_records.end())
            return; // killed while this tick was on its way
        isApp = it->isApp != 0;
        name = it->name;
    }
    self->OnMTimer(id);
    if (isApp)
        self->OnMTimer(id, name);
}

bool RKTimer::IsResolutionSet()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_resolutionSet;
}

UINT RKTimer::GetResolution()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_resolution;
}

} // namespace Tessel
