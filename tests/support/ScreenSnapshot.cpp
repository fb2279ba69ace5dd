#include "tests/support/ScreenSnapshot.h"

#include "tests/support/PngFile.h"

#include "tessel/render/GdiObject.h"
#include "tessel/render/SelectedObject.h"
#include "tessel/render/WindowDC.h"

namespace
{
// GDI+ for one call; sessions nest, so callers that run GDI+ themselves are unaffected.
class GdiplusSession
{
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (m_ok)
            Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};
} // namespace

bool SaveScreenPng(const RECT& rect, const std::wstring& path)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    GdiplusSession gdiplus;
    Tessel::WindowDC screen(nullptr);
    Tessel::MemoryDC memory(CreateCompatibleDC(screen.get()));
    Tessel::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        Tessel::SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    }
    Gdiplus::Bitmap image(bitmap.get(), nullptr);
    return SavePng(image, path);
}

bool SaveWindowScreenshot(HWND window, const std::wstring& path)
{
    RECT rect = {};
    return GetWindowRect(window, &rect) && SaveScreenPng(rect, path);
}

std::wstring ArtifactsFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"TK_ARTIFACTS_DIR", buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        n = GetTempPathW(MAX_PATH, buffer);
    std::wstring folder(buffer, n);
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}
