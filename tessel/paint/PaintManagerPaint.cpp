#include "tessel/paint/PaintManager.h"

#include "tessel/controls/MControl.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"
#include "tessel/render/PaintDC.h"
#include "tessel/render/SelectedObject.h"
#include "tessel/render/WindowDC.h"

namespace Tessel
{

namespace
{
// The frame drawn while the cursor rests over the dialog's title-bar button cell.
const CRect kHotCell(285, 8, 305, 28);
constexpr Gdiplus::ARGB kHotCellColor = 0xFFC8C8C8;
constexpr BYTE kBackgroundAlpha = 0xFE;
constexpr DWORD kPaintPauseMs = 15;

Gdiplus::Color OpaqueColor(COLORREF c, BYTE alpha)
{
    return Gdiplus::Color(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

// Applies fn to every pixel of rect (client coordinates) in a bottom-up buffer.
template <typename Fn> void ForEachPixel(DWORD* bits, int width, int height, const CRect& rect, Fn fn)
{
    const CRect area = rect & CRect(0, 0, width, height);
    for (int y = area.top; y < area.bottom; ++y)
    {
        DWORD* row = bits + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width);
        for (int x = area.left; x < area.right; ++x)
            fn(row[x]);
    }
}
} // namespace

void PaintManager::RenderClient(HDC memDc, DWORD* bits, int width, int height, const CRect& update)
{
    const CRect client(0, 0, width, height);
    if (m_layered)
        ForEachPixel(bits, width, height, update, [](DWORD& px) { px = 0; });

    {
        Gdiplus::Graphics graphics(memDc);
        if (m_backImage)
            DrawBackImage(graphics, client);
        else
        {
            // Copied, not blended: the 0xFE alpha must not mix the frame into the inner colour.
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            Gdiplus::SolidBrush frame(OpaqueColor(m_frameColor, kBackgroundAlpha));
            graphics.FillRectangle(&frame, 0, 0, width, height);
            Gdiplus::SolidBrush inner(OpaqueColor(m_innerColor, kBackgroundAlpha));
            graphics.FillRectangle(&inner, 1, 1, width - 2, height - 2);
        }
    }

    HDC dc = memDc;
    DrawControl(dc, m_layered ? client : update);

    POINT cursor{};
    if (::GetCursorPos(&cursor) && m_hWndPaint && ::ScreenToClient(m_hWndPaint, &cursor) &&
        kHotCell.PtInRect(cursor))
    {
        Gdiplus::Graphics graphics(memDc);
        Gdiplus::Pen pen(Gdiplus::Color(kHotCellColor), 1.0f);
        graphics.DrawRectangle(&pen, kHotCell.left, kHotCell.top, kHotCell.Width(), kHotCell.Height());
    }

    DrawCaret(memDc, m_layered ? client : update);
    ::GdiFlush();

    if (m_layered)
    {
        // GDI leaves alpha at 0 where it drew: make such pixels opaque.
        ForEachPixel(bits, width, height, update,
                     [](DWORD& px)
                     {
                         if ((px & 0xFF000000u) == 0 && (px & 0x00FFFFFFu) != 0)
                             px |= 0xFF000000u;
                     });
    }
}

LRESULT PaintManager::OnPaint()
{
    HWND hwnd = m_hWndPaint;
    if (!hwnd)
        return 0;
    if (::IsIconic(hwnd))
        return 1;
    CRect update;
    if (!::GetUpdateRect(hwnd, &update, FALSE) || update.IsRectEmpty())
        return 0;

    PaintDC paint(hwnd);
    WindowDC windowDc(hwnd);
    CRect client;
    ::GetClientRect(hwnd, &client);
    const int width = client.Width();
    const int height = client.Height();
    if (width <= 0 || height <= 0)
        return 1;

    MemoryDC memDc(::CreateCompatibleDC(windowDc.get()));
    void* rawBits = nullptr;
    BitmapHandle buffer = MRender::CreateARGB32Bitmap(windowDc.get(), width, height, &rawBits);
    if (!memDc.get() || !buffer || !rawBits)
        return 1;
    DWORD* bits = static_cast<DWORD*>(rawBits);
    {
        SelectedObject selected(memDc.get(), buffer.get());
        const int saved = ::SaveDC(memDc.get());

        RenderClient(memDc.get(), bits, width, height, update);
        ::RestoreDC(memDc.get(), saved);
        if (m_layered)
        {
            const LONG_PTR ex = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
            if (!(ex & WS_EX_LAYERED))
                ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
            SIZE size{width, height};
            POINT source{0, 0};
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            ::UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, memDc.get(), &source, 0, &blend, ULW_ALPHA);
        }
        else
        {
            ::BitBlt(paint.get(), update.left, update.top, update.Width(), update.Height(), memDc.get(),
                     update.left, update.top, SRCCOPY);
        }
    }
    buffer.reset();
    ::Sleep(kPaintPauseMs);
    return 1;
}

void PaintManager::DrawBackImage(Gdiplus::Graphics& graphics, const CRect& client)
{
    if (!m_backImage)
        return;
    switch (m_backMode)
    {
    case BACK_MODE_STRETCH:
        MRender::DrawImageStretched(graphics, m_backImage.get(), CRect(0, 0, client.Width(), client.Height()),
                                    0, 0, m_backImageWidth, m_backImageHeight);
        break;
    case BACK_MODE_FRAME:
        MRender::DrawImageFrame(graphics, m_backImage.get(), client, 0, 0, m_backImageWidth,
                                m_backImageHeight, m_backModeValue);
        break;
    default:
        break;
    }
}

void PaintManager::DrawControl(HDC& dc, const CRect& clip)
{
    {
        CsLock lock(m_areasLock);
        for (size_t i = 0; i < m_areas.size(); ++i)
            m_areas[i]->Draw(dc, clip);
    }
    {
        CsLock lock(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
            m_controls[i]->Draw(dc, clip);
    }
}

void PaintManager::Invalidate()
{
    if (m_hWndPaint)
        ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

void PaintManager::InvalidateRect(CRect rect, BOOL erase)
{
    if (!m_hWndPaint)
        return;
    // A layered surface is presented whole, so it is always repainted whole.
    if (m_layered)
        ::InvalidateRect(m_hWndPaint, nullptr, TRUE);
    else
        ::InvalidateRect(m_hWndPaint, &rect, erase);
}

UINT PaintManager::PendingUpdateMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Tessel.PendingControlUpdate");
    return message;
}

void PaintManager::RunPendingUpdates()
{
    std::vector<PendingUpdate> pending;
    {
        CsLock lock(m_pendingLock);
        pending.swap(m_pending);
    }
    // Entries of controls removed meanwhile were dropped by ClearHoverAndFocusFor.
    for (const PendingUpdate& p : pending)
        OnControlUpdate(p.rect, p.update, p.control);
}

LONG PaintManager::OnControlUpdate(CRect rect, BOOL update, MControl* control)
{
    if (!control)
        return 0;
    if (m_initialized && ::GetCurrentThreadId() != m_uiThreadId)
    {
        bool first = false;
        {
            CsLock lock(m_pendingLock);
            m_pending.push_back(PendingUpdate{rect, update, control});
            first = m_pending.size() == 1;
        }
        if (first)
            ::PostMessageW(m_hWndPaint, PendingUpdateMessage(), 0, 0);
        return 0;
    }
    CRect area = rect;
    if (update)
        control->SetUpdate(FALSE, m_innerColor);
    if (m_initialized)
    {
        // Only controls drawn after this one can cover it; those overlapping are redrawn too.
        bool passed = false;
        auto walk = [&](std::vector<MControl*>& list)
        {
            for (size_t i = 0; i < list.size(); ++i)
            {
                MControl* c = list[i];
                if (c == control)
                {
                    passed = true;
                    continue;
                }
                if (!passed || !c->IsVisible())
                    continue;
                const CRect rc = c->GetRect();
                if (rc.Intersects(rect))
                {
                    area = area | rc;
                    c->SetUpdate(FALSE, m_innerColor);
                }
            }
        };
        {
            CsLock lock(m_areasLock);
            walk(m_areas);
        }
        {
            CsLock lock(m_controlsLock);
            walk(m_controls);
        }
    }
    InvalidateRect(area, FALSE);
    return 0;
}

int PaintManager::LoadBKImage(CString name)
{
    m_backImage.reset();
    m_backImageWidth = m_backImageHeight = 0;
    m_backImage = MRender::LoadImageFromFile(Manager::GetSkinFolder() + name);
    if (!m_backImage)
        return 0;
    m_backImageWidth = static_cast<int>(m_backImage->GetWidth());
    m_backImageHeight = static_cast<int>(m_backImage->GetHeight());
    return 1;
}

int PaintManager::LoadBKImage(UINT id, CString type)
{
    m_backImage.reset();
    m_backImageWidth = m_backImageHeight = 0;
    m_backImage = MRender::LoadImageFromIDResource(id, type, Manager::GetInstance());
    if (!m_backImage)
        return 0;
    m_backImageWidth = static_cast<int>(m_backImage->GetWidth());
    m_backImageHeight = static_cast<int>(m_backImage->GetHeight());
    return 1;
}

void PaintManager::SetBackMode(enumBackMode mode, int value)
{
    m_backMode = mode;
    m_backModeValue = value;
}

void PaintManager::SetBackColor(COLORREF inner, COLORREF frame)
{
    m_innerColor = inner;
    m_frameColor = frame;
}

void PaintManager::SetLayeredWindow(BOOL layered)
{
    m_layered = layered;
}

} // namespace Tessel
