// Prints the time of one paint pass of a 500 x 350 layered dialog with a background image and
// ten controls: the composition alone (RenderClient into a fresh buffer) and the whole WM_PAINT
// (buffer, composition, UpdateLayeredWindow and the 15 ms pause), warm and stale caches.
#include "tessel/controls/MControl.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"
#include "tessel/window/MDialog.h"
#include "tests/support/PngFile.h"

#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <string>

using namespace Tessel;
using Clock = std::chrono::steady_clock;

namespace
{
constexpr int kW = 500;
constexpr int kH = 350;

bool WriteBackground(const CString& path)
{
    Gdiplus::Bitmap image(kW, kH, PixelFormat32bppARGB);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
        {
            const bool corner = (x < 12 || x >= kW - 12) && (y < 12 || y >= kH - 12);
            image.SetPixel(x, y, Gdiplus::Color(corner ? 0 : 0xF0, 30 + x % 40, 40, 60 + y % 50));
        }
    return SavePng(image, path.GetString());
}

void MarkAllStale(PaintManager& pm)
{
    for (MControl* c : pm.GetControls())
        c->SetUpdate(0, 0);
    for (MControl* c : pm.GetAreas())
        c->SetUpdate(0, 0);
}

double ComposeMs(PaintManager& pm, HDC reference, bool stale, int passes)
{
    double total = 0;
    for (int i = 0; i < passes; ++i)
    {
        if (stale)
            MarkAllStale(pm);
        const auto t0 = Clock::now();
        HDC mem = ::CreateCompatibleDC(reference);
        void* bits = nullptr;
        BitmapHandle buffer = MRender::CreateARGB32Bitmap(reference, kW, kH, &bits);
        HGDIOBJ old = ::SelectObject(mem, buffer.get());
        pm.RenderClient(mem, static_cast<DWORD*>(bits), kW, kH, CRect(0, 0, kW, kH));
        ::SelectObject(mem, old);
        ::DeleteDC(mem);
        total += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    }
    return total / passes;
}

double WmPaintMs(MDialog& dlg, bool stale, int passes)
{
    double total = 0;
    for (int i = 0; i < passes; ++i)
    {
        if (stale)
            MarkAllStale(dlg.GetPaintManager());
        dlg.GetPaintManager().Invalidate();
        const auto t0 = Clock::now();
        ::UpdateWindow(dlg.GetSafeHwnd());
        total += std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    }
    return total / passes;
}
} // namespace

int main()
{
    Manager::SetInstance(::GetModuleHandleW(nullptr));
    Manager::InitGdiplus();
    const CString folder = Manager::GetSkinFolder();
    ::SHCreateDirectoryExW(nullptr, folder.GetString(), nullptr);
    if (!WriteBackground(folder + L"tk_bench_bk.png"))
    {
        std::printf("cannot write the background image\n");
        return 1;
    }
    {
        MDialog dlg;
        dlg.Create(nullptr, L"bench", WS_POPUP, WS_EX_LAYERED, CRect(100, 100, 100 + kW, 100 + kH));
        dlg.SetLayeredWindow(TRUE);
        dlg.LoadBKImage(CString(L"tk_bench_bk.png"));
        int made = 0;
        for (int i = 0; i < 6; ++i)
            made += dlg.CreateControl(L"MText", 10 + i, CRect(20, 20 + 40 * i, 240, 50 + 40 * i),
                                      L"Temperature 42 C", 1, 1) != nullptr;
        for (int i = 0; i < 4; ++i)
            made += dlg.CreateControl(L"MButton", 20 + i, CRect(280, 20 + 60 * i, 460, 70 + 60 * i),
                                      L"Button", 1, 1) != nullptr;
        dlg.ShowWindow(SW_SHOW);
        ::UpdateWindow(dlg.GetSafeHwnd());

        HDC screen = ::GetDC(nullptr);
        PaintManager& pm = dlg.GetPaintManager();
        ComposeMs(pm, screen, false, 5); // warm up
        const int passes = 100;
        std::printf("controls created: %d of 10\n", made);
        std::printf("compose only, warm caches:  %.3f ms per pass (%d passes)\n",
                    ComposeMs(pm, screen, false, passes), passes);
        std::printf("compose only, stale caches: %.3f ms per pass (%d passes)\n",
                    ComposeMs(pm, screen, true, passes), passes);
        ::ReleaseDC(nullptr, screen);
        std::printf("full WM_PAINT (incl. 15 ms pause), warm: %.3f ms per pass\n", WmPaintMs(dlg, false, 30));
        std::printf("full WM_PAINT (incl. 15 ms pause), stale: %.3f ms per pass\n", WmPaintMs(dlg, true, 30));
        dlg.DestroyWindow();
    }
    ::DeleteFileW((folder + L"tk_bench_bk.png").GetString());
    Manager::UnInitGdiplus();
    return 0;
}
