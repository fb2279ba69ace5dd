#include "tests/tessel/MControlTestSupport.h"

#include "tessel/render/Manager.h"
#include "tests/support/GdiplusEnvironment.h"
#include "tests/support/PngFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace
{

::testing::Environment* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

} // namespace

int ProbeControl::Log(const char* what, Tessel::CPoint point, int result)
{
    if (m_log)
    {
        char entry[96];
        std::snprintf(entry, sizeof(entry), "%s:%s %ld,%ld", m_name.c_str(), what, point.x, point.y);
        m_log->push_back(entry);
    }
    return result;
}

int ProbeControl::DrawControl(HDC& dc, Tessel::CRect)
{
    Log("draw", Tessel::CPoint(), 0);
    // The cached scheme: render into the cache surface only when it is stale, then present it.
    const Tessel::CRect rc = GetRect();
    if (!GetUpdate() || !GetMemSurface().IsValid())
    {
        UpdateMemDC(dc, rc.Width(), rc.Height());
        if (!GetMemSurface().IsValid())
            return 0;
        CopyWindowToMemDC(dc, 0);
        ++renders;
        Gdiplus::Graphics graphics(GetMemDC());
        Gdiplus::SolidBrush brush{Gdiplus::Color(fill)};
        graphics.FillRectangle(&brush, 0, 0, halfFill ? rc.Width() / 2 : rc.Width(), rc.Height());
    }
    CopyMemDCToWindow(dc, 0);
    return 1;
}

void FillSurface(const Tessel::Surface& surface, DWORD argb)
{
    ::GdiFlush();
    for (int i = 0; i < surface.Width() * surface.Height(); ++i)
        surface.Bits()[i] = argb;
}

SkinPng::SkinPng(int width, int height)
{
    const std::wstring folder = Tessel::Manager::GetSkinFolder().GetString();
    ::CreateDirectoryW(folder.substr(0, folder.size() - 7).c_str(), nullptr); // without "theme1\"
    ::CreateDirectoryW(folder.c_str(), nullptr);
    static int counter = 0;
    LARGE_INTEGER now = {};
    ::QueryPerformanceCounter(&now);
    wchar_t name[64];
    std::swprintf(name, 64, L"control_test_%llx_%d.png", static_cast<unsigned long long>(now.QuadPart),
                  ++counter);
    m_name = name;
    m_path = folder + m_name;
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    EXPECT_TRUE(SavePng(bitmap, m_path));
}

SkinPng::~SkinPng()
{
    ::DeleteFileW(m_path.c_str());
}
