#include "ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{

class GdiplusEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&m_token, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

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
    return DrawCached(dc,
                      [this](HDC surface, int width, int height)
                      {
                          ++renders;
                          Gdiplus::Graphics graphics(surface);
                          Gdiplus::SolidBrush brush{Gdiplus::Color(fill)};
                          graphics.FillRectangle(&brush, 0, 0, halfFill ? width / 2 : width, height);
                      });
}

void FillSurface(const Tessel::Surface& surface, DWORD argb)
{
    ::GdiFlush();
    for (int i = 0; i < surface.Width() * surface.Height(); ++i)
        surface.Bits()[i] = argb;
}
