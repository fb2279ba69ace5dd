#include "tests/app/ui/messagebox/BoxDriver.h"

#include "tests/app/ui/messagebox/ScreenPixels.h"

#include <cstdint>

namespace
{
// The paint manager's flat inner colour C8C8C8, laid down at alpha FE.
bool IsInnerBackground(std::uint32_t rgb)
{
    for (int shift : {0, 8, 16})
    {
        const int channel = static_cast<int>((rgb >> shift) & 0xFF);
        if (channel < 0xC4 || channel > 0xCA)
            return false;
    }
    return true;
}

HWND FindBox()
{
    HWND box = FindWindowW(L"MWindow", L"MessageBox");
    return box && IsWindowVisible(box) ? box : nullptr;
}

// The background shows at a spot no control covers.
bool IsPainted(const RECT& rect)
{
    RECT spot = {rect.left + 4, rect.top + 50, rect.left + 12, rect.top + 58};
    ScreenPixels pixels(spot);
    return pixels.IsValid() && IsInnerBackground(pixels.Rgb(2, 2));
}

void SendMouse(DWORD flags, int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}
} // namespace

BoxDriver::BoxDriver(Action action) : m_thread([this, action] { Run(action); }) {}

BoxDriver::~BoxDriver()
{
    Finish();
}

bool BoxDriver::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_found;
}

void BoxDriver::Run(Action action)
{
    // Park the pointer away from the box so that no button shows its hover state.
    SendMouse(0, 0, 0);
    HWND box = nullptr;
    RECT rect = {};
    for (int tries = 0; tries < 300; ++tries)
    {
        box = FindBox();
        if (box && GetWindowRect(box, &rect) && IsPainted(rect))
            break;
        Sleep(50);
    }
    if (!box)
        return;
    m_found = true;
    action(box, rect);

    for (int tries = 0; tries < 200 && IsWindow(box); ++tries)
        Sleep(50);
    if (IsWindow(box))
        PostMessageW(box, WM_CLOSE, 0xBAD, 0);
}

void BoxDriver::ClickClientPoint(const RECT& screenRect, int x, int y)
{
    const int sx = screenRect.left + x;
    const int sy = screenRect.top + y;
    SendMouse(0, sx - 5, sy - 3);
    Sleep(50);
    SendMouse(0, sx, sy);
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN, sx, sy);
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTUP, sx, sy);
}
