#include "tessel/paint/PaintManager.h"

#include "tessel/controls/MControl.h"
#include "tessel/controls/MControlFont.h"
#include "tessel/render/Manager.h"
#include "tessel/window/MShadow.h"
#include "tessel/window/MWindow.h"

#include <algorithm>

namespace Tessel
{

namespace
{
constexpr UINT kEmbeddedFontId = 106;
constexpr UINT kVScrollImageId = 102;
constexpr UINT kHScrollImageId = 101;
} // namespace

PaintManager::PaintManager()
    : m_window(nullptr), m_initialized(false), m_hWndPaint(nullptr), m_innerColor(RGB(0xC8, 0xC8, 0xC8)),
      m_layered(FALSE), m_frameColor(RGB(0x64, 0x64, 0x64)), m_dragArmed(false), m_backImageWidth(0),
      m_backImageHeight(0), m_mtimerId(0), m_timerCounter(4096), m_active(FALSE), m_mouseTracking(FALSE),
      m_leftPressed(FALSE), m_captured(FALSE), m_wndDrag(TRUE), m_vScrollResId(0), m_hScrollResId(0),
      m_defaultEnabledColor(RGB(0x80, 0x80, 0x80)), m_hover(nullptr), m_focus(nullptr), m_tooltipCtrlId(0),
      m_hWndTooltip(nullptr), m_tooltipToolAdded(false), m_airBladderTag(0), m_backMode(BACK_MODE_STRETCH),
      m_backModeValue(4), m_caretPhase(FALSE), m_caretEnabled(FALSE), m_caretOwner(nullptr)
{
    FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    FORMATETC dib{CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC drop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC meta{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    AddSuportedFormat(bitmap);
    AddSuportedFormat(dib);
    AddSuportedFormat(drop);
    AddSuportedFormat(meta);
}

PaintManager::~PaintManager()
{
    DestroyData();
    // OnMTimer is ours: no tick may arrive once this object starts to go away.
    RKTimer::KillTimer();
    if (m_hWndTooltip)
    {
        ::DestroyWindow(m_hWndTooltip);
        m_hWndTooltip = nullptr;
    }
    if (m_airBladder)
    {
        m_airBladder->DestroyWindow();
        m_airBladder.reset();
    }
    m_shadow.reset();
}

void PaintManager::Init(HWND hwnd, MWindow* window)
{
    if (!::IsWindow(hwnd))
        return;
    if (hwnd != m_hWndPaint)
    {
        m_hWndPaint = hwnd;
        m_hdcPaint = WindowDC(hwnd);
    }
    m_window = window;
    m_uiThreadId = ::GetWindowThreadProcessId(hwnd, nullptr);
    RegisterTarget(hwnd); // a refusal (no OLE on this thread) only means no drops
    m_initialized = true;
    m_vScrollResId = kVScrollImageId;
    m_hScrollResId = kHScrollImageId;
    AddGDITempFont(kEmbeddedFontId);
}

void PaintManager::DestroyData()
{
    if (!m_initialized)
        return;
    m_backImage.reset();
    m_backImageWidth = m_backImageHeight = 0;
    // Timers first: the multimedia tick walks controls on another thread.
    KillMTimer();
    ClearTimers();
    ClearAllControls();
    ClearImgResInfo();
    ClearTempFont();
    RevokeTarget();
    {
        CsLock lock(m_pendingLock);
        m_pending.clear();
    }
    // Owned by the dialog, the tooltip window is gone with it: never keep its stale handle.
    if (m_hWndTooltip && ::IsWindow(m_hWndTooltip))
        ::DestroyWindow(m_hWndTooltip);
    m_hWndTooltip = nullptr;
    m_tooltipToolAdded = false;
    m_hdcPaint.reset();
    m_hWndPaint = nullptr;
    m_hover = nullptr;
    m_focus = nullptr;
    m_caretOwner = nullptr;
    m_leftPressed = FALSE;
    m_captured = FALSE;
    m_mouseTracking = FALSE;
    m_dragArmed = false;
    m_initialized = false;
}

void PaintManager::OnDestroyMessage(HWND hwnd)
{
    if (hwnd && hwnd == m_hWndPaint)
        DestroyData();
}

// ---------------------------------------------------------------------------------------------
// Window behaviour

void PaintManager::SetWindowMaxSize(int width, int height) noexcept
{
    m_maxSize.SetSize(width, height);
}

void PaintManager::SetWindowMixSize(int width, int height) noexcept
{
    m_minSize.SetSize(width, height);
}

void PaintManager::SetCapture()
{
    if (m_hWndPaint)
        ::SetCapture(m_hWndPaint);
    m_captured = TRUE;
}

void PaintManager::ReleaseCapture()
{
    ::ReleaseCapture();
    m_captured = FALSE;
}

LRESULT PaintManager::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return m_hWndPaint ? ::SendMessageW(m_hWndPaint, msg, wParam, lParam) : 0;
}

LRESULT PaintManager::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(msg, wParam, lParam);
}

void PaintManager::GetClientRect(CRect& rect) const
{
    rect.SetRectEmpty();
    if (m_hWndPaint)
        ::GetClientRect(m_hWndPaint, &rect);
}

void PaintManager::GetWindowRect(CRect& rect) const
{
    rect.SetRectEmpty();
    if (m_hWndPaint)
        ::GetWindowRect(m_hWndPaint, &rect);
}

void PaintManager::GetClientSize(int& width, int& height) const
{
    CRect rc;
    GetClientRect(rc);
    width = rc.Width();
    height = rc.Height();
}

void PaintManager::SetScrollResID(UINT vertical, UINT horizontal) noexcept
{
    m_vScrollResId = vertical;
    m_hScrollResId = horizontal;
}

// ---------------------------------------------------------------------------------------------
// Controls

MControl* PaintManager::CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* text, int first, int second)
{
    return CreateControl(1, parent, className, id, rect, text, first, second);
}

MControl* PaintManager::CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* text, int first, int second)
{
    return CreateControl(0, parent, className, id, rect, text, first, second);
}

MControl* PaintManager::AddControl(MControl* control, UINT list)
{
    if (!control)
        return nullptr;
    control->SetManager(this);
    if (list == 1)
    {
        CsLock lock(m_controlsLock);
        m_controls.push_back(control);
    }
    else if (list == 0)
    {
        CsLock lock(m_areasLock);
        m_areas.push_back(control);
    }
    return control;
}

MControl* PaintManager::GetControl(UINT id)
{
    for (size_t i = 0; i < m_controls.size(); ++i)
    {
        MControl* c = m_controls[i];
        if (c->GetControlID() == id)
            return c;
        if (MControl* sub = c->GetControl(id))
            return sub;
    }
    for (size_t i = 0; i < m_areas.size(); ++i)
    {
        MControl* c = m_areas[i];
        if (c->GetControlID() == id)
            return c;
        if (MControl* sub = c->GetControl(id))
            return sub;
    }
    return nullptr;
}

void PaintManager::ClearHoverAndFocusFor(MControl* control)
{
    // Pointers the manager keeps into its lists must not outlive the control.
    if (m_hover == control)
        m_hover = nullptr;
    if (m_focus == control)
        m_focus = nullptr;
    if (m_caretOwner && static_cast<MControl*>(m_caretOwner) == control)
        m_caretOwner = nullptr;
    while (DeleteFSTimer(control))
    {
    }
    KillTimer(control);
    CsLock lock(m_pendingLock);
    m_pending.erase(std::remove_if(m_pending.begin(), m_pending.end(),
                                   [control](const PendingUpdate& p) { return p.control == control; }),
                    m_pending.end());
}

int PaintManager::RemoveControl(MControl* control)
{
    if (!control)
        return 0;
    {
        CsLock lock(m_controlsLock);
        auto it = std::find(m_controls.begin(), m_controls.end(), control);
        if (it == m_controls.end())
            return 0;
        m_controls.erase(it);
    }
    ClearHoverAndFocusFor(control);
    delete control;
    return 1;
}

void PaintManager::ClearAllControls()
{
    ClearAreaControls();
    ClearControls();
}

void PaintManager::ClearAreaControls()
{
    DeleteControlsOf(m_areas, m_areasLock);
}

void PaintManager::ClearControls()
{
    DeleteControlsOf(m_controls, m_controlsLock);
}

void PaintManager::DeleteControlsOf(std::vector<MControl*>& list, CriticalSection& lock)
{
    std::vector<MControl*> gone;
    {
        CsLock guard(lock);
        gone.swap(list);
    }
    // Unlisted first, deleted after: the timer thread may still be inside one of them.
    for (MControl* c : gone)
        ClearHoverAndFocusFor(c);
    for (MControl* c : gone)
        delete c;
}

// ---------------------------------------------------------------------------------------------
// Image cache and temporary fonts

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* file, int frameCount)
{
    return m_imageCache.Add(file, frameCount);
}

ImgResInfo* PaintManager::AddImgResInfo(UINT id, CString type, int frameCount, int fromApplication)
{
    return m_imageCache.Add(id, type, frameCount, fromApplication);
}

void PaintManager::ClearImgResInfo()
{
    m_imageCache.Clear();
}

int PaintManager::AddGDITempFont(UINT id)
{
    return m_tempFonts.AddGDITempFont(id);
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* face, const wchar_t* file)
{
    return m_tempFonts.AddTempFont(face, file);
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* face, UINT id)
{
    return m_tempFonts.AddTempFont(face, id);
}

Gdiplus::FontFamily* PaintManager::FindTempFont(const wchar_t* face)
{
    return m_tempFonts.FindTempFont(face);
}

void PaintManager::ClearTempFont()
{
    m_tempFonts.ClearTempFont();
}

} // namespace Tessel
