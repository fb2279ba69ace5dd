#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/CString.h"

#include <vector>

namespace Tessel
{

class MWindow;

// Framework-wide settings: application instance, theme, default font and the scale factor.
// The settings are set at start-up, before any window exists, and are not guarded.
class TESSEL_API Manager
{
public:
    Manager() = delete;

    static void SetInstance(HINSTANCE instance);
    // The application's module, used for application resources.
    static HINSTANCE GetInstance();
    // Tessel.dll itself, which holds the framework's own resources.
    static HMODULE GetFrameworkModule();

    // "theme1\"
    static CString GetTheme();
    // Folder of the running executable + "\skins\" + theme, ending with a backslash.
    static CString GetSkinFolder();

    // Framework-wide face and size (pixels): the initial attributes of every new text control;
    // the face also selects the family every control draws text with.
    static void SetFont(CString face, int size);
    static void SetFontName(CString face);
    static void SetFontWidth(int size);
    static CString GetFontName();
    static int GetFontWidth();

    static void SetScaleValue(float scale);
    static float GetScaleValue();
    // value x factor, truncated toward zero.
    static int GetScaleValue(int value);

    static Gdiplus::ARGB GetSelectColor();

    // Starts GDI+ (version 1), COM and OLE and empties the window list; 1 on success.
    static int InitGdiplus();
    // Undoes what the latest InitGdiplus started, in the reverse order (OLE, COM, GDI+), and
    // empties the window list. Init and UnInit pair up like brackets.
    static void UnInitGdiplus();

    // Framework-wide list of windows (not owned).
    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
    static std::vector<MWindow*> GetWnds();

    // Get-translate-dispatch until WM_QUIT; returns the quit code. Messages retrieved while Alt
    // and F4 are both down are dropped.
    static int MessageLoop();
    // 1 exactly when Alt and F4 are both down.
    static int PreTranslateMessage(MSG* msg);
};

} // namespace Tessel
