// Tessel gallery: every basic control in every state, a shadowed dialog and a tip bubble.
//   tessel_gallery.exe                 runs until the gallery window is closed
//   tessel_gallery.exe --shots <dir>   saves snapshots into <dir> after a second, then exits
//   tessel_gallery.exe --exit <ms>     exits after <ms> (for screenshots taken from outside)

#include "samples/gallery/DialogSnapshot.h"
#include "samples/gallery/GalleryDialog.h"
#include "samples/gallery/ShadowDemoDialog.h"

#include "tessel/render/GdiObject.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/Manager.h"

#include <shellapi.h>

#include <cwchar>
#include <string>

using namespace Tessel;

namespace
{

const UINT kShotTimer = 1;
const UINT kExitTimer = 2;

struct Options
{
    std::wstring shotDir;
    UINT exitAfter = 0;
};

Options ParseOptions()
{
    Options options;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    for (int i = 1; argv && i + 1 < argc; ++i)
    {
        if (wcscmp(argv[i], L"--shots") == 0)
            options.shotDir = argv[++i];
        else if (wcscmp(argv[i], L"--exit") == 0)
            options.exitAfter = static_cast<UINT>(_wtoi(argv[++i]));
    }
    if (argv)
        ::LocalFree(argv);
    return options;
}

// The gallery window ends the program; its timers drive the unattended modes.
class GalleryWindow : public GalleryDialog
{
public:
    GalleryWindow(ShadowDemoDialog& shadowed, Options options)
        : m_shadowed(shadowed), m_options(std::move(options))
    {
    }

    void Start()
    {
        // Keep the pointer off the demo states.
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        ShowButtonStates();
        POINT anchor = BubbleAnchor();
        SetAirBladderMsg(L"Tip bubble: white text on the skin's tip background", anchor,
                         AIRBLADDER_TYPE_STAY);
        if (!m_options.shotDir.empty())
            SetTimer(kShotTimer, 1500);
        if (m_options.exitAfter)
            SetTimer(kExitTimer, m_options.exitAfter);
    }

    void OnTimer(UINT id) override
    {
        if (id == kShotTimer)
        {
            KillTimer(kShotTimer);
            const CString dir = CString(m_options.shotDir.c_str()) + L"\\";
            SaveDialogSnapshot(*this, dir + L"gallery_controls.png");
            SaveDialogSnapshot(m_shadowed, dir + L"gallery_shadow_dialog.png");
            SaveShadowPreview(m_shadowed, dir + L"gallery_shadow_preview.png");
            SaveScreenSnapshot(dir + L"gallery_screen.png");
            ::PostQuitMessage(0);
        }
        else if (id == kExitTimer)
        {
            ::PostQuitMessage(0);
        }
        GalleryDialog::OnTimer(id);
    }

    LRESULT OnDestroy() override
    {
        ::PostQuitMessage(0);
        return GalleryDialog::OnDestroy();
    }

private:
    ShadowDemoDialog& m_shadowed;
    Options m_options;
};

// A plain light desktop behind the demo windows, so shadows show in screenshots.
class Backdrop
{
public:
    explicit Backdrop(HINSTANCE instance)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = instance;
        wc.hbrBackground = m_brush.get();
        wc.lpszClassName = L"TesselGalleryBackdrop";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"",
                                   WS_POPUP | WS_VISIBLE, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                                   ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
    }
    ~Backdrop()
    {
        if (m_hwnd)
            ::DestroyWindow(m_hwnd);
    }
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

private:
    BrushHandle m_brush{::CreateSolidBrush(RGB(0xD8, 0xDD, 0xE3))};
    HWND m_hwnd = nullptr;
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 1;
    Manager::SetInstance(instance);
    // The face embedded in Tessel.dll, registered for every Tessel window.
    Manager::SetFontName(L"Open Sans Semibold");
    int result = 0;
    {
        Backdrop backdrop(instance);
        ShadowDemoDialog shadowed;
        GalleryWindow gallery(shadowed, ParseOptions());
        const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        gallery.Create(nullptr, L"Tessel gallery", style, 0,
                       CRect(40, 40, 40 + GalleryDialog::kWidth, 40 + GalleryDialog::kHeight));
        shadowed.Create(nullptr, L"Shadowed dialog", style, WS_EX_TOOLWINDOW,
                        CRect(740, 80, 740 + ShadowDemoDialog::kWidth, 80 + ShadowDemoDialog::kHeight));
        gallery.Start();
        result = Manager::MessageLoop();
        if (shadowed.GetSafeHwnd())
            shadowed.DestroyWindow();
        if (gallery.GetSafeHwnd())
            gallery.DestroyWindow();
    }
    Gdiplus::GdiplusShutdown(token);
    return result;
}
