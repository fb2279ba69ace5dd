// tessel_controls_bench: prints
//   - MakeShadow for a 500 x 350 dialog with a rounded window region at size 10 and 35 (the region
//     scan plus the pixel maths), and the pixel maths alone;
//   - the cost of drawing a 100 x 30 MButton from its warm cache and after marking it stale.

#include "tessel/controls/MButton.h"
#include "tessel/render/GdiObject.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"
#include "tessel/window/MDialog.h"
#include "tessel/window/MShadow.h"
#include "tessel/window/ShadowMaths.h"

#include <chrono>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Tessel;

namespace
{

using Clock = std::chrono::steady_clock;

template <typename Work> double MicrosecondsPer(int runs, Work work)
{
    work(); // warm-up
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i)
        work();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;
}

// Exposes the computation the shadow runs on every rebuild.
class MeasuredShadow : public MShadow
{
public:
    using MShadow::MakeShadow;
};

class BenchDialog : public MDialog
{
public:
    BenchDialog()
    {
        Create(nullptr, L"Bench", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW,
               CRect(0, 0, 500, 350));
    }
    ~BenchDialog() override
    {
        if (GetSafeHwnd())
            DestroyWindow();
    }
};

void BenchShadow(BenchDialog& dialog)
{
    HWND hwnd = dialog.GetSafeHwnd();
    ::SetWindowRgn(hwnd, ::CreateRoundRectRgn(0, 0, 501, 351, 32, 32), FALSE);
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    for (int size : {10, 35})
    {
        MeasuredShadow shadow;
        shadow.SetSize(size);
        shadow.SetSharpness(size == 10 ? 5 : 20);
        std::vector<UINT32> bits(static_cast<size_t>(w + 2 * size) * (h + 2 * size));
        const double full = MicrosecondsPer(20,
                                            [&]
                                            {
                                                std::fill(bits.begin(), bits.end(), 0u);
                                                shadow.MakeShadow(bits.data(), hwnd, &rc);
                                            });
        const std::vector<ShadowSpan> rows(h, ShadowSpan{0, w});
        const double maths = MicrosecondsPer(20,
                                             [&]
                                             {
                                                 std::fill(bits.begin(), bits.end(), 0u);
                                                 MakeShadowBits(bits.data(), w, h, rows, shadow.GetParams());
                                             });
        std::printf(
            "MakeShadow 500x350, size %d, sharpness %d: %.0f us (region scan + maths), %.0f us maths only\n",
            size, shadow.GetParams().sharpness, full, maths);
    }
}

void BenchButton(BenchDialog& dialog)
{
    auto* button =
        static_cast<MButton*>(dialog.CreateControl(L"MButton", 1, CRect(10, 10, 110, 40), L"Button", 1, 1));
    if (!button || !button->SetImage(L"img_button.png", 4))
    {
        std::printf("button: skin image missing\n");
        return;
    }
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    BitmapHandle bitmap = MRender::CreateARGB32Bitmap(screen, 200, 60, &bits);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, bitmap.get());
    const CRect clip(0, 0, 200, 60);
    const int runs = 2000;
    const double warm = MicrosecondsPer(runs, [&] { button->Draw(dc, clip); });
    const double stale = MicrosecondsPer(runs / 10,
                                         [&]
                                         {
                                             button->SetUpdate(0, 0);
                                             button->Draw(dc, clip);
                                         });
    // The warm draw really copies the cell: clear the target and draw once more.
    std::fill_n(static_cast<DWORD*>(bits), 200 * 60, 0u);
    button->Draw(dc, clip);
    ::GdiFlush();
    const DWORD centre = static_cast<DWORD*>(bits)[(60 - 1 - 25) * 200 + 60];
    std::printf(
        "MButton 100x30 repaint: %.1f us from the warm cache (centre pixel %08lx), %.1f us re-rendering "
        "all four cells (x%.0f)\n",
        warm, static_cast<unsigned long>(centre), stale, stale / warm);
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
}

} // namespace

int wmain()
{
    Manager::SetInstance(::GetModuleHandleW(nullptr));
    if (!Manager::InitGdiplus())
        return 1;
    Manager::SetFontName(L"Open Sans Semibold");
    {
        BenchDialog dialog;
        BenchShadow(dialog);
        BenchButton(dialog);
    }
    Manager::UnInitGdiplus();
    return 0;
}
