// The program's life in the notification area, watched from outside the running program.
#include "app/core/MainWindowMessages.h"
#include "tests/app/ui/tray/NotifyIconProbe.h"
#include "tests/app/ui/tray/RunningProgram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Where the main window belongs: 500 x 350 with a 2-pixel margin at the work area's corner.
RECT CornerRect()
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return RECT{work.right - 502, work.bottom - 352, work.right - 2, work.bottom - 2};
}

bool IsAtCorner(HWND window)
{
    RECT rect = {};
    const RECT corner = CornerRect();
    return GetWindowRect(window, &rect) && EqualRect(&rect, &corner);
}

void MoveAway(HWND window)
{
    SetWindowPos(window, nullptr, 10, 10, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
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

void ClickScreen(int x, int y)
{
    SendMouse(0, x, y);
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTUP, x, y);
}

struct MenuSearch
{
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMenu(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<MenuSearch*>(param);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && wcscmp(className, L"#32768") == 0 && IsWindowVisible(window))
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The program's open popup menu, or null.
HWND OpenMenu(DWORD processId)
{
    MenuSearch search = {processId, nullptr};
    EnumWindows(MatchMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Starts a hidden copy and waits until its icon is in the notification area.
HWND StartHidden(RunningProgram& program)
{
    HWND window = program.WaitForWindow();
    if (!window)
        return nullptr;
    // The modal loop hides the window right after the dialog's initialisation showed it.
    if (!WaitUntil(10000, [&] { return TrayRecordExists(window) && !IsWindowVisible(window); }))
        return nullptr;
    return window;
}
} // namespace

TEST(TrayProgram, LeftClickShowsTheHiddenWindowAtTheCornerInFront)
{
    RunningProgram program(RunningProgram::ShippedFolder(), L"-hide");
    ASSERT_TRUE(program.Started());
    HWND window = StartHidden(program);
    ASSERT_NE(window, nullptr);

    MoveAway(window);
    PostMessageW(window, WM_TRAY_NOTIFY, 109, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil(5000, [&] { return IsWindowVisible(window) && IsAtCorner(window); }));
    EXPECT_TRUE(WaitUntil(2000, [&] { return GetForegroundWindow() == window; })) << "in front";
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // Shown already: it goes back to the corner.
    MoveAway(window);
    PostMessageW(window, WM_TRAY_NOTIFY, 109, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil(5000, [&] { return IsWindowVisible(window) && IsAtCorner(window); }));

    // Other mouse events, and download progress on the same message, change nothing.
    MoveAway(window);
    for (LPARAM other : {WM_MOUSEMOVE, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONDOWN, 0x00, 0x37})
        PostMessageW(window, WM_TRAY_NOTIFY, 0, other);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
    EXPECT_FALSE(IsAtCorner(window));
    EXPECT_EQ(OpenMenu(program.ProcessId()), nullptr);
}

TEST(TrayProgram, RightClickMenuClosesOnOutsideClickAndExitEndsTheProgramWithZero)
{
    RunningProgram program(RunningProgram::ShippedFolder(), L"-hide");
    HWND window = StartHidden(program);
    ASSERT_NE(window, nullptr);

    SetCursorPos(700, 400);
    PostMessageW(window, WM_TRAY_NOTIFY, 109, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil(5000, [&] { return (menu = OpenMenu(program.ProcessId())) != nullptr; }));
    RECT menuRect = {};
    GetWindowRect(menu, &menuRect);
    EXPECT_EQ(menuRect.left, 700) << "opened at the cursor";
    EXPECT_EQ(menuRect.top, 400);

    // A click elsewhere closes the menu and nothing else happens.
    ClickScreen(200, 150);
    EXPECT_TRUE(WaitUntil(5000, [&] { return OpenMenu(program.ProcessId()) == nullptr; }));
    DWORD code = 0;
    EXPECT_FALSE(program.WaitForExit(500, code));
    EXPECT_TRUE(TrayRecordExists(window));

    // Again, and choose its only item.
    SetCursorPos(700, 400);
    PostMessageW(window, WM_TRAY_NOTIFY, 109, WM_RBUTTONUP);
    ASSERT_TRUE(WaitUntil(5000, [&] { return (menu = OpenMenu(program.ProcessId())) != nullptr; }));
    GetWindowRect(menu, &menuRect);
    ClickScreen((menuRect.left + menuRect.right) / 2, (menuRect.top + menuRect.bottom) / 2);

    ASSERT_TRUE(program.WaitForExit(10000, code)) << "\"Exit\" ends the program";
    EXPECT_EQ(code, 0u);
}

TEST(TrayProgram, TimerKeepsAHiddenWindowHiddenWhileMovingItAndAddingTheIconAgain)
{
    RunningProgram program(RunningProgram::ShippedFolder(), L"-hide");
    HWND window = StartHidden(program);
    ASSERT_NE(window, nullptr);

    // Well before the ten seconds are up: move the window and make the shell forget the icon.
    MoveAway(window);
    ASSERT_TRUE(DeleteTrayRecord(window));
    ASSERT_FALSE(TrayRecordExists(window));

    ASSERT_TRUE(WaitUntil(25000, [&] { return IsAtCorner(window); })) << "timer 200 moves it to the corner";
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(WaitUntil(2000, [&] { return TrayRecordExists(window); })) << "and adds the icon again";
}

TEST(TrayProgram, TaskbarCreatedAddsTheIconAgain)
{
    RunningProgram program(RunningProgram::ShippedFolder(), L"-hide");
    HWND window = StartHidden(program);
    ASSERT_NE(window, nullptr);

    // The shell restarts: every icon is gone, then it announces its new taskbar.
    ASSERT_TRUE(DeleteTrayRecord(window));
    ASSERT_FALSE(TrayRecordExists(window));
    PostMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil(3000, [&] { return TrayRecordExists(window); }));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST(TrayProgram, MissingIconFileStillAddsTheRecord)
{
    // A program folder without the skin.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kelvane-noskin\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* file : {L"Tarvik Kelvane.exe", L"Tessel.dll", L"hidapi.dll"})
        ASSERT_TRUE(
            CopyFileW((RunningProgram::ShippedFolder() + file).c_str(), (folder + file).c_str(), FALSE));

    DWORD code = 0;
    {
        RunningProgram program(folder, L"-hide");
        HWND window = StartHidden(program);
        ASSERT_NE(window, nullptr) << "the record is added without an icon";

        PostMessageW(window, WM_COMMAND, 100, 0);
        ASSERT_TRUE(program.WaitForExit(10000, code));
    }
    EXPECT_EQ(code, 0u);
    for (const wchar_t* file : {L"Tarvik Kelvane.exe", L"Tessel.dll", L"hidapi.dll"})
        DeleteFileW((folder + file).c_str());
    RemoveDirectoryW(folder.c_str());
}
