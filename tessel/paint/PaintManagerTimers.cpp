#include "tessel/paint/PaintManager.h"

#include "tessel/controls/MControl.h"

namespace Tessel
{

namespace
{
constexpr UINT kTimerIdRange = 240;
constexpr UINT kFadeStepMs = 50;
} // namespace

int PaintManager::SetTimer(MControl* control, UINT key, UINT elapse)
{
    if (!control || !m_hWndPaint)
        return 0;
    CsLock lock(m_timersLock);
    for (ControlTimer& t : m_timers)
    {
        if (t.control == control && t.hwnd == m_hWndPaint && t.key == key)
        {
            if (!t.killed)
                return 0;
            if (!::SetTimer(m_hWndPaint, t.id, elapse, nullptr))
                return 0;
            t.killed = 0;
            return 1;
        }
    }
    // Ids wrap within 0..239 and may coincide with other timers of the window.
    m_timerCounter += 1;
    const UINT id = m_timerCounter % kTimerIdRange;
    if (!::SetTimer(m_hWndPaint, id, elapse, nullptr))
        return 0;
    m_timers.push_back(ControlTimer{m_hWndPaint, key, id, 0, control});
    return 1;
}

int PaintManager::KillTimer(MControl* control, UINT key)
{
    CsLock lock(m_timersLock);
    for (ControlTimer& t : m_timers)
    {
        if (t.control == control && t.hwnd == m_hWndPaint && t.key == key && !t.killed)
        {
            ::KillTimer(t.hwnd, t.id);
            t.killed = 1;
            return 1;
        }
    }
    return 0;
}

void PaintManager::KillTimer(MControl* control)
{
    CsLock lock(m_timersLock);
    for (size_t i = 0; i < m_timers.size();)
    {
        ControlTimer& t = m_timers[i];
        if (t.control == control)
        {
            if (!t.killed)
                ::KillTimer(t.hwnd, t.id);
            m_timers.erase(m_timers.begin() + static_cast<std::ptrdiff_t>(i));
        }
        else
            ++i;
    }
}

void PaintManager::ClearTimers()
{
    CsLock lock(m_timersLock);
    for (const ControlTimer& t : m_timers)
    {
        if (!t.killed && t.hwnd == m_hWndPaint)
            ::KillTimer(t.hwnd, t.id);
    }
    m_timers.clear();
}

LRESULT PaintManager::OnTimer(UINT id)
{
    if (!m_hWndPaint)
        return 0;
    switch (id)
    {
    case kFadeStepTimer:
    case kFadeEndTimer:
        ::KillTimer(m_hWndPaint, id);
        return 0;
    case kFadeStartTimer:
        ::KillTimer(m_hWndPaint, id);
        ::SetTimer(m_hWndPaint, kFadeStepTimer, kFadeStepMs, nullptr);
        return 0;
    case kCaretTimer:
        CaretInvalidate();
        m_caretPhase = !m_caretPhase;
        return 0;
    default:
        break;
    }
    CsLock lock(m_timersLock);
    // By index: a control's OnTimer may kill or re-arm timers.
    for (size_t i = 0; i < m_timers.size(); ++i)
    {
        const ControlTimer t = m_timers[i];
        if (!t.killed && t.hwnd == m_hWndPaint && t.id == id)
            t.control->OnTimer();
    }
    return 0;
}

int PaintManager::SetMTimer(UINT period)
{
    const int id = RKTimer::SetTimer(period, CString(), 0);
    m_mtimerId = static_cast<UINT>(id);
    return id;
}

void PaintManager::KillMTimer(UINT id)
{
    RKTimer::KillTimer(id);
    if (m_mtimerId == id)
        m_mtimerId = 0;
}

void PaintManager::KillMTimer()
{
    RKTimer::KillTimer();
    m_mtimerId = 0;
}

void PaintManager::AddMTimer(MControl* control)
{
    if (!control)
        return;
    CsLock lock(m_tickLock);
    m_tickControls.push_back(control);
}

int PaintManager::DeleteFSTimer(MControl* control)
{
    CsLock lock(m_tickLock);
    for (auto it = m_tickControls.begin(); it != m_tickControls.end(); ++it)
    {
        if (*it == control)
        {
            m_tickControls.erase(it);
            return 1;
        }
    }
    return 0;
}

void PaintManager::OnMTimer(UINT id)
{
    if (id == 0 || id != m_mtimerId)
        return;
    CsLock lock(m_tickLock);
    for (size_t i = 0; i < m_tickControls.size(); ++i)
        m_tickControls[i]->OnTimer();
}

} // namespace Tessel
