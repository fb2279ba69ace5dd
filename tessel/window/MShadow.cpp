#include "tessel/window/MShadow.h"

#include "tessel/render/SurfaceCanvas.h"
#include "tessel/render/GdiObject.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"
#include "tessel/render/Surface.h"

#include <atomic>
#include <vector>

namespace Tessel
{

namespace
{

const wchar_t kShadowClass[] = L"ShadowWnd";

std::atomic<bool> g_classRegistered{false};

// Leftmost and rightmost pixel of each row inside the window's region. A window without a region
// counts as its full rectangle, so plain rectangular dialogs cast a shadow too.
std::vector<ShadowSpan> ReadShapeRows(HWND window, int width, int height)
{
    std::vector<ShadowSpan> rows(height > 0 ? static_cast<size_t>(height) : 0);
    GdiObject<HRGN> region(::CreateRectRgn(0, 0, 0, 0));
    const int kind = region ? ::GetWindowRgn(window, region.get()) : ERROR;
    if (kind == ERROR)
    {
        for (auto& row : rows)
            row = ShadowSpan{0, width};
        return rows;
    }
    for (int y = 0; y < height; ++y)
    {
        int left = 0;
        while (left < width && !::PtInRegion(region.get(), left, y))
            ++left;
        if (left == width)
            continue;
        int right = width - 1;
        while (right > left && !::PtInRegion(region.get(), right, y))
            --right;
        rows[y] = ShadowSpan{left, right + 1};
    }
    return rows;
}

} // namespace

MShadow::MShadow() = default;

ShadowMap& MShadow::GetShadowMap()
{
    static ShadowMap map;
    return map;
}

MShadow::~MShadow()
{
    Unhook();
    if (m_shadowWnd && ::IsWindow(m_shadowWnd))
        ::DestroyWindow(m_shadowWnd);
    m_shadowWnd = nullptr;
}

int MShadow::Initialize(HINSTANCE instance, bool reinit)
{
    if (g_classRegistered.load() && !reinit)
        return 0;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kShadowClass;
    ::RegisterClassExW(&wc); // an existing class is just as good
    g_classRegistered = true;
    return 1;
}

void MShadow::Create(PaintManager* manager, HWND dialog)
{
    if (!m_show || !dialog || !::IsWindow(dialog))
        return;
    if (m_shadowWnd && ::IsWindow(m_shadowWnd))
        return;
    m_manager = manager;
    m_parent = dialog;
    GetShadowMap().Add(dialog, this);

    const LONG_PTR dialogStyle = ::GetWindowLongPtrW(dialog, GWL_STYLE);
    m_shadowWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClass, nullptr,
                                    WS_POPUPWINDOW | static_cast<DWORD>(dialogStyle & WS_DLGFRAME),
                                    CW_USEDEFAULT, 0, 0, 0, dialog, nullptr, Manager::GetInstance(), nullptr);

    DeriveStatus(dialog);
    if (m_status & SS_VISIBLE)
    {
        ShowNoActivate();
        Update(dialog);
    }
    m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MShadow::ParentProc)));
}

void MShadow::DeriveStatus(HWND parent)
{
    const LONG_PTR style = ::GetWindowLongPtrW(parent, GWL_STYLE);
    if (!(style & WS_VISIBLE))
        m_status = SS_ENABLED;
    else if (style & (WS_MAXIMIZE | WS_MINIMIZE))
        m_status = SS_ENABLED | SS_PARENT_VISIBLE;
    else
        m_status = SS_ENABLED | SS_VISIBLE | SS_PARENT_VISIBLE;
}

void MShadow::ShowNoActivate()
{
    if (m_shadowWnd)
        ::ShowWindow(m_shadowWnd, SW_SHOWNOACTIVATE);
}

void MShadow::Hide()
{
    if (m_shadowWnd)
        ::ShowWindow(m_shadowWnd, SW_HIDE);
}

void MShadow::Unhook()
{
    if (!m_parent)
        return;
    // Only undo our own hook; a later subclass on top of ours would be cut off otherwise.
    if (::IsWindow(m_parent) && m_oldProc &&
        ::GetWindowLongPtrW(m_parent, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&MShadow::ParentProc))
        ::SetWindowLongPtrW(m_parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    GetShadowMap().Remove(m_parent, this);
    m_parent = nullptr;
}

void MShadow::DisableShadow(int disable)
{
    m_disabled = disable;
    if (!m_shadowWnd || !m_parent)
        return;
    if (disable)
    {
        Hide();
        m_status &= static_cast<unsigned char>(~SS_VISIBLE);
        return;
    }
    DeriveStatus(m_parent);
    if (m_status & SS_VISIBLE)
    {
        ShowNoActivate();
        Update(m_parent);
    }
}

void MShadow::Refresh()
{
    if (m_shadowWnd && m_parent && (m_status & SS_VISIBLE))
        Update(m_parent);
}

int MShadow::SetSize(int size)
{
    if (!ShadowLimits::SizeOk(size))
        return 0;
    m_params.size = size;
    Refresh();
    return 1;
}

int MShadow::SetSharpness(UINT sharpness)
{
    if (sharpness > 35)
        return 0;
    m_params.sharpness = static_cast<int>(sharpness);
    Refresh();
    return 1;
}

int MShadow::SetDarkness(UINT darkness)
{
    if (darkness > 255)
        return 0;
    m_params.darkness = static_cast<int>(darkness);
    Refresh();
    return 1;
}

int MShadow::SetPosition(int x, int y)
{
    if (!ShadowLimits::OffsetOk(x) || !ShadowLimits::OffsetOk(y))
        return 0;
    m_params.xOffset = x;
    m_params.yOffset = y;
    Refresh();
    return 1;
}

int MShadow::SetColor(DWORD color)
{
    m_params.color = color;
    Refresh();
    return 1;
}

int MShadow::SetImage(const wchar_t* name)
{
    m_imageMode = 1;
    m_imageName = name ? name : L"";
    m_image = MRender::LoadImageFromFile(Manager::GetSkinFolder() + m_imageName);
    m_imageWidth = m_image ? static_cast<int>(m_image->GetWidth()) : 0;
    m_imageHeight = m_image ? static_cast<int>(m_image->GetHeight()) : 0;
    Refresh();
    return m_image ? 1 : 0;
}

int MShadow::SetImage(UINT resourceId)
{
    m_imageMode = 1;
    m_imageId = resourceId;
    m_image = MRender::LoadImageFromIDResource(resourceId, L"PNG", Manager::GetInstance());
    m_imageWidth = m_image ? static_cast<int>(m_image->GetWidth()) : 0;
    m_imageHeight = m_image ? static_cast<int>(m_image->GetHeight()) : 0;
    Refresh();
    return m_image ? 1 : 0;
}

int MShadow::SetShadowCorner(RECT margins)
{
    if (margins.left < 0 || margins.top < 0 || margins.right < 0 || margins.bottom < 0)
        return 0;
    m_margins = margins;
    Refresh();
    return 1;
}

int MShadow::CopyShadow(MShadow* target)
{
    if (!target || target == this)
        return 1;
    if (m_imageMode)
    {
        if (!m_imageName.IsEmpty() || !m_imageId)
            target->SetImage(m_imageName.GetString());
        else
            target->SetImage(m_imageId);
        target->SetShadowCorner(m_margins);
        if (ShadowLimits::SizeOk(m_params.size))
            target->SetSize(m_params.size);
    }
    else
    {
        target->SetSize(m_params.size);
        if (ShadowLimits::SharpnessOk(m_params.sharpness))
            target->SetSharpness(static_cast<UINT>(m_params.sharpness));
        target->SetDarkness(static_cast<UINT>(m_params.darkness));
        target->SetColor(m_params.color);
        target->SetPosition(m_params.xOffset, m_params.yOffset);
    }
    target->ShowShadow(m_show);
    return 1;
}

void MShadow::Move(HWND parent)
{
    if (!m_shadowWnd)
        return;
    RECT wr;
    if (!::GetWindowRect(parent, &wr))
        return;
    int x = wr.left, y = wr.top;
    if (m_imageMode)
    {
        x -= m_margins.left;
        y -= m_margins.top;
    }
    else
    {
        x += m_params.xOffset - m_params.size;
        y += m_params.yOffset - m_params.size;
    }
    ::SetWindowPos(m_shadowWnd, parent, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void MShadow::Update(HWND parent)
{
    if (!m_show || !(m_status & SS_VISIBLE) || !m_shadowWnd)
        return;
    RECT wr;
    if (!::GetWindowRect(parent, &wr))
        return;
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    int bw, bh;
    if (m_imageMode)
    {
        if (m_imageName.IsEmpty() && !m_imageId)
            return;
        bw = w + m_margins.left + m_margins.right;
        bh = h + m_margins.top + m_margins.bottom;
    }
    else
    {
        if (m_params.size == 0)
            return;
        bw = w + 2 * m_params.size;
        bh = h + 2 * m_params.size;
    }
    if (bw <= 0 || bh <= 0)
        return;

    Surface bitmap;
    bitmap.Resize(nullptr, bw, bh);
    if (!bitmap.IsValid())
        return;
    ZeroMemory(bitmap.Bits(), static_cast<size_t>(bw) * bh * 4);
    if (m_imageMode)
    {
        // A failed image leaves the shadow fully transparent.
        SurfaceCanvas canvas(bitmap);
        if (m_image && canvas.IsValid())
        {
            Gdiplus::Graphics& g = canvas.Graphics();
            g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            MRender::DrawImageFrameMID(g, m_image.get(), CRect(0, 0, bw, bh), 0, 0, m_imageWidth,
                                       m_imageHeight, m_margins.left, m_margins.top, m_margins.right,
                                       m_margins.bottom);
        }
    }
    else
    {
        MakeShadow(reinterpret_cast<UINT32*>(bitmap.Bits()), parent, &wr);
    }

    Move(parent);
    ::SetWindowPos(m_shadowWnd, parent, 0, 0, bw, bh, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOREDRAW);
    RECT sr;
    ::GetWindowRect(m_shadowWnd, &sr);
    POINT dst = {sr.left, sr.top};
    SIZE size = {bw, bh};
    POINT src = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_shadowWnd, nullptr, &dst, &size, bitmap.GetDC(), &src, 0, &blend, ULW_ALPHA);
}

void MShadow::MakeShadow(UINT32* bits, HWND parent, RECT* parentRect)
{
    const int w = parentRect->right - parentRect->left;
    const int h = parentRect->bottom - parentRect->top;
    MakeShadowBits(bits, w, h, ReadShapeRows(parent, w, h), m_params);
}

void MShadow::HandleParentMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_DESTROY:
        if (m_shadowWnd && ::IsWindow(m_shadowWnd))
            ::DestroyWindow(m_shadowWnd);
        m_shadowWnd = nullptr;
        m_status = 0;
        break;
    case WM_MOVE:
        if (m_status & SS_VISIBLE)
            Move(hwnd);
        break;
    case WM_WINDOWPOSCHANGED:
        Move(hwnd);
        break;
    case WM_SIZE:
        if (!(m_status & SS_ENABLED))
            break;
        if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED)
        {
            Hide();
            m_status &= static_cast<unsigned char>(~SS_VISIBLE);
        }
        else if (m_status & SS_PARENT_VISIBLE)
        {
            // Growth is redrawn at the next paint, so a resize drag does not rebuild every step.
            if (LOWORD(lParam) > m_lastWidth || HIWORD(lParam) > m_lastHeight)
                m_updatePending = 1;
            else
                Update(hwnd);
            if (!(m_status & SS_VISIBLE))
                ShowNoActivate();
            m_status |= SS_VISIBLE;
        }
        m_lastWidth = LOWORD(lParam);
        m_lastHeight = HIWORD(lParam);
        break;
    case WM_PAINT:
        if (m_updatePending)
        {
            Update(hwnd);
            m_updatePending = 0;
        }
        break;
    case WM_SHOWWINDOW:
        if (!(m_status & SS_ENABLED))
            break;
        if (wParam)
        {
            if (!(m_status & SS_PARENT_VISIBLE))
            {
                m_updatePending = 1;
                ShowNoActivate();
                m_status |= SS_VISIBLE | SS_PARENT_VISIBLE;
            }
        }
        else
        {
            Hide();
            m_status &= static_cast<unsigned char>(~(SS_VISIBLE | SS_PARENT_VISIBLE));
        }
        break;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (m_shadowWnd)
            ::SetWindowPos(m_shadowWnd, hwnd, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
        break;
    case WM_EXITSIZEMOVE:
        if (m_status & SS_VISIBLE)
            Update(hwnd);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK MShadow::ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    MShadow* shadow = GetShadowMap().Find(hwnd);
    if (!shadow)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    const WNDPROC previous = shadow->m_oldProc;
    if (!shadow->m_disabled)
        shadow->HandleParentMessage(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
    {
        GetShadowMap().Remove(hwnd, shadow);
        shadow->m_parent = nullptr;
    }
    return previous ? ::CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                    : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace Tessel
