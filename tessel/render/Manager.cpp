#include "tessel/render/Manager.h"

#include "tessel/render/UndoStack.h"

#include <algorithm>
#include <mutex>

namespace Tessel
{

namespace
{

// Start-up settings: written before windows exist, read afterwards.
HINSTANCE g_instance = nullptr;
CString g_fontName(L"Arial");
int g_fontWidth = 14;
float g_scaleValue = 1.0f;
const Gdiplus::ARGB kSelectColor = 0xFFBD30FF;
// One entry per InitGdiplus not yet undone, holding the steps of it that took (a thread already
// in the multithreaded apartment is refused COM and OLE, which must then not be undone);
// UnInitGdiplus undoes the latest. Any thread that calls Init or UnInit.
std::mutex g_startedLock;
std::vector<UndoStack> g_started;

// The window list may be touched by any thread that creates or destroys a window.
std::mutex g_windowsLock;
std::vector<MWindow*> g_windows;

bool KeyDown(int vk)
{
    return (::GetKeyState(vk) & 0x8000) != 0;
}

} // namespace

void Manager::SetInstance(HINSTANCE instance)
{
    g_instance = instance;
}

HINSTANCE Manager::GetInstance()
{
    return g_instance;
}

HMODULE Manager::GetFrameworkModule()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&Manager::GetFrameworkModule), &module);
    return module;
}

CString Manager::GetTheme()
{
    return CString(L"theme1\\");
}

CString Manager::GetSkinFolder()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    CString folder(path, static_cast<int>(length));
    const int slash = folder.ReverseFind(L'\\');
    folder.Truncate(slash + 1);
    return folder + L"skins\\" + GetTheme();
}

void Manager::SetFont(CString face, int size)
{
    g_fontName = face;
    g_fontWidth = size;
}

void Manager::SetFontName(CString face)
{
    g_fontName = face;
}

void Manager::SetFontWidth(int size)
{
    g_fontWidth = size;
}

CString Manager::GetFontName()
{
    return g_fontName;
}

int Manager::GetFontWidth()
{
    return g_fontWidth;
}

void Manager::SetScaleValue(float scale)
{
    g_scaleValue = scale;
}

float Manager::GetScaleValue()
{
    return g_scaleValue;
}

int Manager::GetScaleValue(int value)
{
    return static_cast<int>(static_cast<float>(value) * g_scaleValue);
}

Gdiplus::ARGB Manager::GetSelectColor()
{
    return kSelectColor;
}

int Manager::InitGdiplus()
{
    UndoStack started;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    const bool gdiplus = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    if (gdiplus)
        started.Push([token] { Gdiplus::GdiplusShutdown(token); });
    if (SUCCEEDED(::CoInitialize(nullptr)))
        started.Push([] { ::CoUninitialize(); });
    if (SUCCEEDED(::OleInitialize(nullptr)))
        started.Push([] { ::OleUninitialize(); });
    {
        std::lock_guard<std::mutex> lock(g_startedLock);
        g_started.push_back(std::move(started));
    }
    {
        std::lock_guard<std::mutex> lock(g_windowsLock);
        g_windows.clear();
    }
    return gdiplus ? 1 : 0;
}

void Manager::UnInitGdiplus()
{
    UndoStack started;
    {
        std::lock_guard<std::mutex> lock(g_startedLock);
        if (!g_started.empty())
        {
            started = std::move(g_started.back());
            g_started.pop_back();
        }
    }
    started.UndoAll();
    std::lock_guard<std::mutex> lock(g_windowsLock);
    g_windows.clear();
}

void Manager::AddWnd(MWindow* window)
{
    std::lock_guard<std::mutex> lock(g_windowsLock);
    g_windows.push_back(window);
}

void Manager::DeleteWnd(MWindow* window)
{
    std::lock_guard<std::mutex> lock(g_windowsLock);
    g_windows.erase(std::remove(g_windows.begin(), g_windows.end(), window), g_windows.end());
}

std::vector<MWindow*> Manager::GetWnds()
{
    std::lock_guard<std::mutex> lock(g_windowsLock);
    return g_windows;
}

int Manager::MessageLoop()
{
    MSG msg = {};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
    {
        if (PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int Manager::PreTranslateMessage(MSG*)
{
    // Alt+F4 never reaches a framework window: closing goes through the dialogs' own paths.
    return KeyDown(VK_MENU) && KeyDown(VK_F4) ? 1 : 0;
}

} // namespace Tessel
