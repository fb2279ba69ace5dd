#pragma once

#include "tessel/controls/MControl.h"
#include "tessel/render/GdiplusHeaders.h"

#include <string>
#include <vector>

// GDI+ runs for the whole test program (ControlTestSupport.cpp registers a test environment).

// A parent that records the repaint requests and notifications its controls send.
class RecordingParent : public Tessel::MObject
{
public:
    struct Update
    {
        Tessel::CRect rect;
        int update;
        Tessel::MControl* control;
    };
    struct Message
    {
        UINT id, code, wParam;
        LONG lParam;
    };

    explicit RecordingParent(const wchar_t* className = L"RecordingParent") : m_className(className) {}
    const wchar_t* GetClassNameW() const override { return m_className; }
    LONG OnControlUpdate(Tessel::CRect rect, int update, Tessel::MControl* control) override
    {
        updates.push_back({rect, update, control});
        return 0;
    }
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        messages.push_back({id, code, wParam, lParam});
        return 42;
    }

    std::vector<Update> updates;
    std::vector<Message> messages;

private:
    const wchar_t* m_className;
};

// A control that logs every handler call as "<name>:<handler> x,y" into a shared log and
// answers with configurable results. It draws a solid colour through the cached-drawing scheme.
class ProbeControl : public Tessel::MControl
{
public:
    ProbeControl(Tessel::MObject* parent, UINT id, Tessel::CRect rect, std::vector<std::string>* log,
                 const char* name, int visible = 1, int enabled = 1, int response = 1)
        : MControl(parent, id, rect, visible, enabled, response), m_log(log), m_name(name)
    {
    }

    int DrawControl(HDC& dc, Tessel::CRect clip) override;
    int OnControlMouseMove(UINT, Tessel::CPoint point) override { return Log("move", point, moveResult); }
    int OnControlLButtonDown(UINT, Tessel::CPoint point) override { return Log("ldown", point, downResult); }
    int OnControlLButtonUp(UINT, Tessel::CPoint point) override { return Log("lup", point, upResult); }
    int OnControlLButtonDblClk(UINT, Tessel::CPoint point) override { return Log("ldbl", point, dblResult); }
    int OnControlRButtonDown(UINT, Tessel::CPoint point) override { return Log("rdown", point, downResult); }
    int OnControlRButtonUp(UINT, Tessel::CPoint point) override { return Log("rup", point, upResult); }
    int OnControlScroll(int, UINT, Tessel::CPoint point) override
    {
        return Log("scroll", point, scrollResult);
    }
    int OnControlTimer() override { return Log("timer", Tessel::CPoint(), timerResult); }
    int OnControlKeyDown(UINT key, UINT repeat, UINT flags) override
    {
        const int base = MControl::OnControlKeyDown(key, repeat, flags);
        return Log("key", Tessel::CPoint(static_cast<int>(key), 0), base || keyResult);
    }
    int SetControlFocus(int focus) override
    {
        Log(focus ? "focus" : "blur", Tessel::CPoint(), 0);
        return MControl::SetControlFocus(focus);
    }
    void MarkFocused(int focused) { SetFocused(focused); }

    int moveResult = 1, downResult = 1, upResult = 1, dblResult = 1, scrollResult = 0, timerResult = 0,
        keyResult = 0;
    Gdiplus::ARGB fill = 0xFF00FF00;
    // Fill only the left half, so what was beneath shows through the right half.
    bool halfFill = false;
    int renders = 0;

protected:
    int Log(const char* what, Tessel::CPoint point, int result);

private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

// A scrolling container: its content is scrolled down by 100 pixels.
class ScrollingControl : public ProbeControl
{
public:
    using ProbeControl::ProbeControl;
    int OnMousePointChange(Tessel::CPoint& point) override
    {
        point.y += 100;
        return 1;
    }
};

// Fills a 32-bit surface through its pixel buffer.
void FillSurface(const Tessel::Surface& surface, DWORD argb);

// A PNG strip in the skin folder of the test program, deleted again by the destructor.
class SkinPng
{
public:
    SkinPng(int width, int height);
    ~SkinPng();
    SkinPng(const SkinPng&) = delete;
    SkinPng& operator=(const SkinPng&) = delete;
    const wchar_t* name() const { return m_name.c_str(); }

private:
    std::wstring m_name;
    std::wstring m_path;
};
