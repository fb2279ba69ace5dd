#pragma once

#include "tessel/controls/MControl.h"
#include "tessel/paint/PaintManager.h"

#include <string>
#include <vector>

// A control that records what the manager routes to it and paints a solid GDI rectangle
// (GDI leaves alpha 0, which the layered pipeline must fix up).
class RecordingControl : public Tessel::MControl
{
public:
    RecordingControl(Tessel::MObject* parent, UINT id, Tessel::CRect rect, COLORREF color = RGB(200, 40, 40))
        : MControl(parent, id, rect, 1, 1, 1), m_color(color)
    {
    }

    int DrawControl(HDC& dc, Tessel::CRect) override
    {
        ++draws;
        Tessel::CRect rc = GetRect();
        HBRUSH brush = ::CreateSolidBrush(m_color);
        ::FillRect(dc, &rc, brush);
        ::DeleteObject(brush);
        return 1;
    }
    int OnControlMouseMove(UINT, Tessel::CPoint pt) override
    {
        Log("move", pt);
        return 0;
    }
    int OnControlLButtonDown(UINT, Tessel::CPoint pt) override
    {
        Log("down", pt);
        return 1;
    }
    int OnControlLButtonUp(UINT, Tessel::CPoint pt) override
    {
        Log("up", pt);
        return 1;
    }
    int OnControlScroll(int, UINT flags, Tessel::CPoint) override
    {
        ++scrolls;
        lastScrollFlags = flags;
        return 1;
    }
    int OnControlKeyDown(UINT key, UINT, UINT) override
    {
        keys.push_back(key);
        return takeKeys;
    }
    int SetControlFocus(int focus) override
    {
        focusCalls.push_back(focus);
        return MControl::SetControlFocus(focus);
    }
    void SetUpdate(int update, unsigned long value) override
    {
        if (update == 0)
            ++staleMarks;
        MControl::SetUpdate(update, value);
    }
    int OnControlTimer() override
    {
        ++timerTicks;
        return 0;
    }

    void Log(const char* what, Tessel::CPoint pt)
    {
        events.push_back(std::string(what) + "(" + std::to_string(pt.x) + "," + std::to_string(pt.y) + ")");
    }
    bool Saw(const std::string& e) const
    {
        for (const auto& x : events)
            if (x == e)
                return true;
        return false;
    }

    std::vector<std::string> events;
    std::vector<int> focusCalls;
    std::vector<UINT> keys;
    int takeKeys = 0;
    int draws = 0;
    int scrolls = 0;
    UINT lastScrollFlags = 0xFFFF;
    int staleMarks = 0;
    int timerTicks = 0;

private:
    COLORREF m_color;
};
