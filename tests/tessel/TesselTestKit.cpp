#include "tests/tessel/TesselTestKit.h"

#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"

#include <shlobj.h>

#include <cstdlib>
#include <cwchar>

using namespace Tessel;

const wchar_t kEmbeddedFace[] = L"Open Sans Semibold";

namespace
{
::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new ControlTestEnvironment);
} // namespace

void ControlTestEnvironment::SetUp()
{
    Manager::SetInstance(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(Manager::InitGdiplus());
    Manager::SetFontName(kEmbeddedFace);
}

void ControlTestEnvironment::TearDown()
{
    Manager::UnInitGdiplus();
}

LONG RecordingParent::OnBaseMessage(UINT id, UINT code, UINT, LONG)
{
    events.push_back({Event::Notify, id, code, 0});
    return 0;
}

LONG RecordingParent::OnControlUpdate(CRect, int update, MControl* control)
{
    events.push_back({Event::Repaint, 0, 0, update});
    // As the paint manager does: changed content makes the cache stale.
    if (update && control)
        control->SetUpdate(0, 0);
    return 0;
}

std::vector<UINT> RecordingParent::Codes() const
{
    std::vector<UINT> codes;
    for (const Event& e : events)
        if (e.kind == Event::Notify)
            codes.push_back(e.code);
    return codes;
}

int RecordingParent::RepaintCount() const
{
    int n = 0;
    for (const Event& e : events)
        n += e.kind == Event::Repaint ? 1 : 0;
    return n;
}

HostDialog::HostDialog(int width, int height, bool visible)
{
    const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
    Create(nullptr, L"Test host", style, WS_EX_TOOLWINDOW, CRect(100, 100, 100 + width, 100 + height));
}

HostDialog::~HostDialog()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

Canvas::Canvas(int width, int height, DWORD argb) : m_width(width), m_height(height)
{
    HDC screen = ::GetDC(nullptr);
    m_dc = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    m_bitmap = MRender::CreateARGB32Bitmap(screen, width, height, &bits);
    ::ReleaseDC(nullptr, screen);
    m_bits = static_cast<DWORD*>(bits);
    if (m_dc && m_bitmap)
        m_previous = ::SelectObject(m_dc, m_bitmap.get());
    for (int i = 0; m_bits && i < width * height; ++i)
        m_bits[i] = argb;
}

Canvas::~Canvas()
{
    if (m_dc && m_previous)
        ::SelectObject(m_dc, m_previous);
    m_bitmap.reset();
    if (m_dc)
        ::DeleteDC(m_dc);
}

DWORD Canvas::At(int x, int y) const
{
    ::GdiFlush();
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_bits[static_cast<size_t>(m_height - 1 - y) * m_width + x];
}

void Canvas::Draw(MControl* control)
{
    control->Draw(m_dc, CRect(0, 0, m_width, m_height));
    ::GdiFlush();
}

void Canvas::SaveArtifact(const wchar_t* name) const
{
    ::GdiFlush();
    MRender::SaveBitmapToFile(m_bitmap.get(), CString((ArtifactsFolder() + name).c_str()));
}

bool Near(DWORD a, DWORD b, int tolerance)
{
    return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
           std::abs(Blue(a) - Blue(b)) <= tolerance;
}

std::wstring SkinFolder()
{
    return Manager::GetSkinFolder().GetString();
}

SkinStrip::SkinStrip(const wchar_t* stem, int frameWidth, int height,
                     const std::vector<Gdiplus::ARGB>& colors)
{
    const int width = frameWidth * static_cast<int>(colors.size());
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(colors[static_cast<size_t>(x / frameWidth)]));
    m_name = std::wstring(stem) + L"_" + std::to_wstring(::GetCurrentProcessId()) + L".png";
    Write(bitmap);
}

void SkinStrip::Write(Gdiplus::Bitmap& bitmap)
{
    ::SHCreateDirectoryExW(nullptr, SkinFolder().c_str(), nullptr);
    SavePng(bitmap, SkinFolder() + m_name);
}

SkinStrip::~SkinStrip()
{
    ::DeleteFileW((SkinFolder() + m_name).c_str());
}
