#include "tests/tessel/PaintTestDialog.h"
#include "tests/tessel/PixelBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace Tessel;

namespace
{
const ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new TesselEnvironment);

// The counters the system offers (GetGuiResources, GetProcessHandleCount) read 0 under Wine.
// Handle tables hand out free slots first, so the highest slot a large batch of fresh objects
// reaches grows by the number of objects leaked in between.
int GdiHighWater()
{
    std::vector<HBRUSH> batch;
    int top = 0;
    for (int i = 0; i < 3000; ++i)
    {
        HBRUSH b = ::CreateSolidBrush(RGB(i & 0xFF, 0, 0));
        if (!b)
            break;
        batch.push_back(b);
        top = std::max(top, static_cast<int>(LOWORD(reinterpret_cast<UINT_PTR>(b))));
    }
    for (HBRUSH b : batch)
        ::DeleteObject(b);
    return top;
}

UINT_PTR KernelHighWater()
{
    std::vector<HANDLE> batch;
    UINT_PTR top = 0;
    for (int i = 0; i < 1000; ++i)
    {
        HANDLE e = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!e)
            break;
        batch.push_back(e);
        top = std::max(top, reinterpret_cast<UINT_PTR>(e));
    }
    for (HANDLE e : batch)
        ::CloseHandle(e);
    return top;
}

class Host : public TestDialog
{
};

// One full life of a dialog: created inside the host, skinned, ten controls, painted,
// tooltip, timers, destroyed.
void OneDialog(HWND host)
{
    TestDialog dlg;
    HWND hwnd = dlg.Create(host, L"cycle", WS_CHILD | WS_VISIBLE, 0, CRect(0, 0, 300, 200));
    ASSERT_NE(nullptr, hwnd);
    dlg.LoadBKImage(CString(L"tk_leak_bk.png"));
    for (UINT i = 0; i < 10; ++i)
        dlg.Add(i + 1, CRect(10 + 25 * static_cast<int>(i), 10, 30 + 25 * static_cast<int>(i), 40), i % 2);
    dlg.CreateControl(L"MText", 20, CRect(10, 60, 200, 80), L"text", 1, 1);
    dlg.CreateControl(L"MButton", 21, CRect(10, 90, 80, 120), L"button", 1, 1);
    PaintManager& pm = dlg.GetPaintManager();
    pm.SetTooltip(L"tip", CRect());
    pm.SetTimer(pm.GetControls().front(), 1, 100000);
    dlg.SetMTimer(50);
    pm.Invalidate();
    ::UpdateWindow(hwnd);
    dlg.DestroyWindow();
}
} // namespace

TEST(Resources, TwoHundredDialogsLeaveNoGdiObjectsOrHandlesBehind)
{
    ASSERT_TRUE(WriteSkinPng(L"tk_leak_bk.png", 300, 200,
                             [](int x, int) { return x < 150 ? 0xFF304050u : 0xC0708090u; }));
    Host host;
    ASSERT_NE(nullptr, host.Create(nullptr, L"host", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 320, 220)));
    for (int i = 0; i < 5; ++i) // warm-up: caches, fonts, class registrations
        OneDialog(host.GetSafeHwnd());
    PumpMessages(50);
    const int gdiBefore = GdiHighWater();
    const UINT_PTR kernelBefore = KernelHighWater();
    const DWORD gdiCountBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD userCountBefore = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    DWORD handlesBefore = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesBefore);

    for (int i = 0; i < 200; ++i)
    {
        OneDialog(host.GetSafeHwnd());
        if (i % 20 == 0)
            PumpMessages(5);
    }
    PumpMessages(50);
    const int gdiAfter = GdiHighWater();
    const UINT_PTR kernelAfter = KernelHighWater();
    // Where the system counts (Windows; Wine reports 0), the counts must not grow either.
    DWORD handlesAfter = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), gdiCountBefore + 10);
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), userCountBefore + 10);
    EXPECT_LE(handlesAfter, handlesBefore + 10);
    // A leak of one object per dialog would add 200 slots.
    EXPECT_LE(gdiAfter, gdiBefore + 20) << "before " << gdiBefore;
    EXPECT_LE(kernelAfter, kernelBefore + 20 * 4) << "before " << kernelBefore;
    host.DestroyWindow();
    ::DeleteFileW((Manager::GetSkinFolder() + L"tk_leak_bk.png").GetString());
}

TEST(Resources, TheProbeSeesALeak)
{
    const int before = GdiHighWater();
    std::vector<HBRUSH> leaked;
    for (int i = 0; i < 200; ++i)
        leaked.push_back(::CreateSolidBrush(RGB(0, i, 0)));
    const int during = GdiHighWater();
    for (HBRUSH b : leaked)
        ::DeleteObject(b);
    EXPECT_GE(during, before + 150);
}
