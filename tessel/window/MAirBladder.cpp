#include "tessel/window/MAirBladder.h"

#include "tessel/render/SurfaceCanvas.h"
#include "tessel/render/GdiObject.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"
#include "tessel/render/PaintDC.h"
#include "tessel/render/Surface.h"
#include "tessel/render/WindowDC.h"
#include "tessel/window/HookTable.h"

#include <cmath>

namespace Tessel
{

namespace
{

const UINT kEmbeddedFontId = 106;
const float kFontPixels = 14.0f;
const int kFrameBorder = 6;
} // namespace

MAirBladder::MAirBladder()
{
    m_format = std::make_unique<Gdiplus::StringFormat>();
    m_format->SetAlignment(Gdiplus::StringAlignmentNear);
    m_format->SetLineAlignment(Gdiplus::StringAlignmentNear);
    m_format->SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                             Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
}

MAirBladder::~MAirBladder()
{
    if (HasWindow())
        ::DestroyWindow(m_hWnd);
}

void MAirBladder::ShowWindow(int cmdShow)
{
    const bool activates = cmdShow == SW_SHOW || cmdShow == SW_SHOWNORMAL || cmdShow == SW_RESTORE;
    MWindow::ShowWindow(m_type == kHoverTipType && activates ? SW_SHOWNOACTIVATE : cmdShow);
}

LRESULT MAirBladder::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_ERASEBKGND:
        return 1;
    case WM_USER + 66:
        return OnUserCloseWindow(wParam, lParam);
    case WM_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(wParam));
        break;
    case WM_KILLFOCUS:
        OnKillFocus(reinterpret_cast<HWND>(wParam));
        break;
    default:
        CallHook(*this, msg, wParam, lParam);
        break;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

int MAirBladder::PreTranslateMessage(MSG*)
{
    return 0;
}

int MAirBladder::OnInitDialog()
{
    // Created visible, the bubble took the activation from its owner; a hint must not keep it.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(owner);
    HMODULE module = Manager::GetFrameworkModule();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(kEmbeddedFontId), L"TTF");
    HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = info ? ::SizeofResource(module, info) : 0;
    if (!data || !size)
        return 1;
    // The resource stays mapped as long as the library is loaded, which outlives the collection.
    auto fonts = std::make_unique<Gdiplus::PrivateFontCollection>();
    if (fonts->AddMemoryFont(data, static_cast<INT>(size)) != Gdiplus::Ok || fonts->GetFamilyCount() < 1)
        return 1;
    auto family = std::make_unique<Gdiplus::FontFamily>();
    INT found = 0;
    if (fonts->GetFamilies(1, family.get(), &found) != Gdiplus::Ok || found < 1)
        return 1;
    m_fonts = std::move(fonts);
    m_family = std::move(family);
    return 1;
}

LONG MAirBladder::OnUserCloseWindow(WPARAM wParam, LPARAM lParam)
{
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

void MAirBladder::CloseWindow()
{
    PostMessageW(WM_CLOSE, 0, 0);
}

LRESULT MAirBladder::OnCreate(CREATESTRUCTW*)
{
    const DWORD style = GetStyle();
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>((style & 0xFF3BFFFF) | 0x06000008));
    // A tool window has no taskbar button.
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    return 1;
}

LRESULT MAirBladder::OnSize(UINT type, int, int)
{
    if (type == SIZE_MINIMIZED)
        return 1;
    RECT wr;
    if (!::GetWindowRect(m_hWnd, &wr))
        return 1;
    const int corner = type == SIZE_MAXIMIZED ? 0 : 3;
    // The system owns the region once it is set.
    HRGN region = ::CreateRoundRectRgn(0, 0, wr.right - wr.left + 1, wr.bottom - wr.top + 1, corner, corner);
    if (region && !::SetWindowRgn(m_hWnd, region, TRUE))
        ::DeleteObject(region);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 1;
}

LRESULT MAirBladder::OnNcActivate(BOOL)
{
    return 1;
}

LRESULT MAirBladder::OnSetFocus(HWND)
{
    return 1;
}

LRESULT MAirBladder::OnKillFocus(HWND)
{
    if (m_mode != AIRBLADDER_MODE_5 && IsWindowVisible())
        ShowWindow(SW_HIDE);
    KillTimer(kHideTimer);
    return 1;
}

LRESULT MAirBladder::OnWindowPosChanged(WINDOWPOS*)
{
    return 1;
}

void MAirBladder::OnTimer(UINT id)
{
    if (id != kHideTimer)
        return;
    KillTimer(kHideTimer);
    if (IsWindowVisible())
        ShowWindow(SW_HIDE);
}

LRESULT MAirBladder::OnClose()
{
    return 1;
}

LRESULT MAirBladder::OnDestroy()
{
    return 0;
}

int MAirBladder::Load(SkinImage& slot, std::unique_ptr<Gdiplus::Image> image)
{
    slot.image = std::move(image);
    slot.width = slot.image ? static_cast<int>(slot.image->GetWidth()) : 0;
    slot.height = slot.image ? static_cast<int>(slot.image->GetHeight()) : 0;
    return slot.image ? 1 : 0;
}

int MAirBladder::LoadBKImage(CString name)
{
    return Load(m_bkImage, MRender::LoadImageFromFile(Manager::GetSkinFolder() + name));
}

int MAirBladder::LoadBKImage(UINT id, CString type)
{
    return Load(m_bkImage, MRender::LoadImageFromIDResource(id, type, Manager::GetInstance()));
}

int MAirBladder::LoadArrowLImage(CString name)
{
    return Load(m_arrowL, MRender::LoadImageFromFile(Manager::GetSkinFolder() + name));
}

int MAirBladder::LoadArrowLImage(UINT id, CString type)
{
    return Load(m_arrowL, MRender::LoadImageFromIDResource(id, type, Manager::GetInstance()));
}

int MAirBladder::LoadArrowRImage(CString name)
{
    return Load(m_arrowR, MRender::LoadImageFromFile(Manager::GetSkinFolder() + name));
}

int MAirBladder::LoadArrowRImage(UINT id, CString type)
{
    return Load(m_arrowR, MRender::LoadImageFromIDResource(id, type, Manager::GetInstance()));
}

int MAirBladder::LoadArrowTImage(CString name)
{
    return Load(m_arrowT, MRender::LoadImageFromFile(Manager::GetSkinFolder() + name));
}

int MAirBladder::LoadArrowTImage(UINT id, CString type)
{
    return Load(m_arrowT, MRender::LoadImageFromIDResource(id, type, Manager::GetInstance()));
}

void MAirBladder::SetBackMode(enumBackMode mode, int value) noexcept
{
    m_backMode = mode;
    m_backModeValue = value;
}

Gdiplus::StringAlignment MAirBladder::GetTextAlignment() const
{
    return m_format->GetAlignment();
}

int MAirBladder::SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type,
                                  AIRBLADDER_MODE mode)
{
    const CString message(text ? text : L"");
    if (message == m_text && anchor.x == m_x && anchor.y == m_y && type == m_type && mode == m_mode)
        return 1;
    m_format->SetAlignment(Gdiplus::StringAlignmentNear);
    m_format->SetLineAlignment(Gdiplus::StringAlignmentNear);
    m_text = message;
    m_x = anchor.x;
    m_y = anchor.y;
    m_type = type;
    m_mode = mode;
    AutoFit();
    if (type != AIRBLADDER_TYPE_STAY)
        SetTimer(kHideTimer, kHideDelay);
    return 1;
}

bool MAirBladder::MeasureText(int& width, int& lineHeight) const
{
    if (!m_family)
        return false;
    Gdiplus::Font font(m_family.get(), kFontPixels, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    if (font.GetLastStatus() != Gdiplus::Ok)
        return false;
    const Gdiplus::RectF bounds = MRender::GetTextBounds(font, *m_format, m_text.GetString());
    width = static_cast<int>(std::ceil(bounds.Width));
    const float height = font.GetHeight(96.0f);
    lineHeight = height != std::floor(height) ? static_cast<int>(height + 4) : static_cast<int>(height + 1);
    return true;
}

void MAirBladder::AutoFit()
{
    if (m_text.IsEmpty())
        return;
    int tw = 0, th = 0;
    if (!MeasureText(tw, th))
        tw = th = 0;
    m_lineHeight = th;

    m_lines = 1;
    for (int i = 0; i < m_text.GetLength(); ++i)
        m_lines += m_text.GetAt(i) == L'\n' ? 1 : 0;
    if (m_lines == 1 || m_mode == AIRBLADDER_MODE_4)
    {
        m_format->SetAlignment(Gdiplus::StringAlignmentCenter);
        m_format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    }

    const int l = m_lines * th;
    const int x = m_x, y = m_y;
    CRect rc;
    switch (m_mode)
    {
    case AIRBLADDER_MODE_1:
        rc.left = x;
        rc.top = y - l / 2 - 10;
        rc.right = x + tw + 40;
        rc.bottom = rc.top + l + 20;
        break;
    case AIRBLADDER_MODE_2:
        rc.SetRect(x - tw - 40, y - 27, x, y + l - 7);
        break;
    case AIRBLADDER_MODE_3:
        rc.SetRect(x - 25, y, x + tw + 15, y + l + 30);
        break;
    case AIRBLADDER_MODE_4:
        rc.left = x - (tw + 30) / 2;
        rc.top = y - l - 20;
        rc.right = rc.left + tw + 30;
        rc.bottom = y;
        break;
    case AIRBLADDER_MODE_5:
        rc.SetRect(x, y - 10, x + tw + 40, y + l - 45);
        m_lines -= 2;
        break;
    default:
        break;
    }
    MoveWindow(&rc, TRUE);
    OnPaint();
}

LRESULT MAirBladder::OnPaint()
{
    if (!HasWindow() || IsIconic())
        return 0;
    PaintDC paint(m_hWnd);
    Present(paint.get());
    return 1;
}

void MAirBladder::Present(HDC paintDc)
{
    RECT client;
    GetClientRect(&client);
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0)
        return;
    WindowDC screen(m_hWnd);
    {
        Surface buffer;
        buffer.Resize(screen ? screen.get() : paintDc, w, h);
        SurfaceCanvas canvas(buffer);
        if (canvas.IsValid())
        {
            Gdiplus::Graphics& g = canvas.Graphics();
            Gdiplus::Image* bk = m_bkImage.image.get();
            // GetLastStatus also resets the status for the next check.
            if (bk && bk->GetLastStatus() == Gdiplus::Ok)
            {
                g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
                MRender::DrawImageFrame(g, bk, CRect(0, 0, w - 1, h - 1), 0, 0, m_bkImage.width,
                                        m_bkImage.height, kFrameBorder);
            }
            if (!m_text.IsEmpty() && m_family)
            {
                Gdiplus::Font font(m_family.get(), kFontPixels, Gdiplus::FontStyleRegular,
                                   Gdiplus::UnitPixel);
                g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
                Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
                const float textHeight = static_cast<float>(m_lines * m_lineHeight);
                const Gdiplus::RectF layout(8.0f, (h - textHeight) * 0.5f + m_lines - 1,
                                            static_cast<float>(w - 16), textHeight + 2.0f);
                g.DrawString(m_text.GetString(), m_text.GetLength(), &font, layout, m_format.get(), &white);
            }
            g.Flush(Gdiplus::FlushIntentionSync);
            ModifyExStyle(0, WS_EX_LAYERED);
            SIZE size = {w, h};
            POINT source = {0, 0};
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            ::UpdateLayeredWindow(m_hWnd, screen.get(), nullptr, &size, buffer.GetDC(), &source, 0, &blend,
                                  ULW_ALPHA);
        }
    }
}

} // namespace Tessel
