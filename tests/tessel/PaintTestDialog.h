#pragma once

#include "tests/tessel/RecordingControl.h"
#include "tests/tessel/MessagePump.h"

#include "tessel/window/MDialog.h"

#include <vector>

// A shown, layered skinned dialog at a fixed place on the screen (layered windows also close
// without Wine's 2 s wait for an unmanaged window to unmap).
class TestDialog : public Tessel::MDialog
{
public:
    std::vector<UINT> timerIds;

    HWND Open(Tessel::CRect rect = Tessel::CRect(200, 150, 520, 370), bool layered = true)
    {
        HWND hwnd = Create(nullptr, L"test dialog", WS_POPUP, layered ? WS_EX_LAYERED : 0, rect);
        SetLayeredWindow(layered ? TRUE : FALSE);
        ShowWindow(SW_SHOW);
        ::UpdateWindow(hwnd);
        PumpMessages(30);
        return hwnd;
    }
    RecordingControl* Add(UINT id, Tessel::CRect rc, UINT list = 1, COLORREF color = RGB(200, 40, 40))
    {
        auto* c = new RecordingControl(this, id, rc, color);
        GetPaintManager().AddControl(c, list);
        return c;
    }
    Tessel::CPoint ToScreen(Tessel::CPoint pt)
    {
        ClientToScreen(&pt);
        return pt;
    }
    // Puts the real cursor over the client point, then routes a synthesised move there.
    void MoveTo(Tessel::CPoint pt, UINT keys = 0)
    {
        const Tessel::CPoint s = ToScreen(pt);
        ::SetCursorPos(s.x, s.y);
        SendMessageW(WM_MOUSEMOVE, keys, MAKELPARAM(pt.x, pt.y));
    }
    void OnTimer(UINT id) override { timerIds.push_back(id); }
};
