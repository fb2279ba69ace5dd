#include "tests/scripts/Installation.h"

#include "tests/app/update/TestFiles.h"
#include "tests/scripts/RunningProcesses.h"

std::wstring InFolder(const std::wstring& name)
{
    return std::wstring(kFolder) + L"\\" + name;
}

long RunSilently(const std::wstring& commandLine)
{
    ChildProcess setup(commandLine);
    DWORD code = 0;
    if (!setup.Started() || !setup.WaitForEnd(120000, code))
        return -1;
    return static_cast<long>(code);
}

std::vector<DWORD> SteadyProcessesAt(const std::wstring& name, const std::wstring& path)
{
    std::vector<DWORD> found;
    for (const DWORD id : SteadyProcessesNamed(name))
    {
        if (lstrcmpiW(ImagePathOf(id).c_str(), path.c_str()) == 0)
            found.push_back(id);
    }
    return found;
}

// Icons in Wine's own tray window, which stands in for a taskbar when there is none: a row of
// cells one small icon (plus a 2-pixel border) wide, at least 8 of them. A cell holding an icon
// is not a single colour. -1 when there is no such window.
int WineTrayIcons()
{
    const HWND tray = FindWindowW(nullptr, L"Wine System Tray");
    if (!tray)
        return -1;
    if (!IsWindowVisible(tray))
        return 0;
    RECT client = {};
    GetClientRect(tray, &client);
    const int width = client.right;
    const int height = client.bottom;
    HDC window = GetDC(tray);
    HDC memory = CreateCompatibleDC(window);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, window, 0, 0, SRCCOPY);
    const auto* pixels = static_cast<const DWORD*>(bits);
    const int cell = GetSystemMetrics(SM_CXSMICON) + 4;
    int icons = 0;
    for (int left = 0; left + cell <= width; left += cell)
    {
        bool uniform = true;
        for (int y = 0; y < height && uniform; ++y)
        {
            for (int x = left; x < left + cell && uniform; ++x)
                uniform = pixels[y * width + x] == pixels[left];
        }
        icons += uniform ? 0 : 1;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(tray, window);
    return icons;
}

bool OneProgramAndServerRun()
{
    return WaitUntil(
        [] {
            return SteadyProcessesAt(kProgram, InFolder(kProgram)).size() == 1 &&
                   !ProcessesNamed(kServer).empty();
        },
        30000);
}

void CleanInstallation()
{
    EndProcesses(ProcessesNamed(kProgram));
    EndProcesses(ProcessesNamed(kServer));
    RemoveTree(std::wstring(kFolder) + L"\\");
}
