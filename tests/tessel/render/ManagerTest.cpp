#include "tessel/render/Manager.h"
#include "tessel/render/UndoStack.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <thread>
#include <vector>

using namespace Tessel;

TEST(Manager, DefaultsAndScaleFactor)
{
    EXPECT_EQ(Manager::GetFontName(), L"Arial");
    EXPECT_EQ(Manager::GetFontWidth(), 14);
    EXPECT_FLOAT_EQ(Manager::GetScaleValue(), 1.0f);
    EXPECT_EQ(Manager::GetSelectColor(), 0xFFBD30FFu);
    EXPECT_EQ(Manager::GetTheme(), L"theme1\\");

    Manager::SetScaleValue(1.5f);
    EXPECT_EQ(Manager::GetScaleValue(15), 22);   // 22.5 truncated
    EXPECT_EQ(Manager::GetScaleValue(-15), -22); // toward zero
    Manager::SetScaleValue(1.25f);
    EXPECT_EQ(Manager::GetScaleValue(14), 17);
    Manager::SetScaleValue(1.0f);
    EXPECT_EQ(Manager::GetScaleValue(15), 15);
}

TEST(Manager, FontSettersChangeFaceAndSize)
{
    const CString face = Manager::GetFontName();
    const int size = Manager::GetFontWidth();
    Manager::SetFont(L"Tahoma", 20);
    EXPECT_EQ(Manager::GetFontName(), L"Tahoma");
    EXPECT_EQ(Manager::GetFontWidth(), 20);
    Manager::SetFontName(L"Verdana");
    Manager::SetFontWidth(9);
    EXPECT_EQ(Manager::GetFontName(), L"Verdana");
    EXPECT_EQ(Manager::GetFontWidth(), 9);
    Manager::SetFont(face, size);
}

TEST(Manager, SkinFolderIsBesideTheExecutable)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring expected = self;
    expected = expected.substr(0, expected.rfind(L'\\') + 1) + L"skins\\theme1\\";
    EXPECT_EQ(std::wstring(Manager::GetSkinFolder().GetString()), expected);
}

TEST(Manager, InstanceAndFrameworkModule)
{
    EXPECT_EQ(Manager::GetInstance(), nullptr);
    const HMODULE tessel = ::GetModuleHandleW(L"Tessel.dll");
    ASSERT_NE(tessel, nullptr);
    EXPECT_EQ(Manager::GetFrameworkModule(), tessel);
    Manager::SetInstance(::GetModuleHandleW(nullptr));
    EXPECT_EQ(Manager::GetInstance(), ::GetModuleHandleW(nullptr));
    Manager::SetInstance(nullptr);
}

TEST(Manager, WindowListAddsRemovesAndIsEmptiedByInit)
{
    auto* a = reinterpret_cast<MWindow*>(0x10);
    auto* b = reinterpret_cast<MWindow*>(0x20);
    Manager::AddWnd(a);
    Manager::AddWnd(b);
    Manager::DeleteWnd(a);
    ASSERT_EQ(Manager::GetWnds().size(), 1u);
    EXPECT_EQ(Manager::GetWnds()[0], b);
    ASSERT_EQ(Manager::InitGdiplus(), 1);
    EXPECT_TRUE(Manager::GetWnds().empty());
    Manager::AddWnd(a);
    Manager::UnInitGdiplus();
    EXPECT_TRUE(Manager::GetWnds().empty());
}

TEST(Manager, UnInitLeavesAloneTheApartmentItWasRefused)
{
    // On a thread already in the multithreaded apartment, Init's COM/OLE calls are refused, so
    // UnInit must not take away the thread's own initialisation.
    HRESULT again = E_FAIL;
    std::thread worker(
        [&again]
        {
            if (FAILED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
                return;
            Manager::InitGdiplus();
            Manager::UnInitGdiplus();
            again = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(again))
                ::CoUninitialize();
            ::CoUninitialize();
        });
    worker.join();
    EXPECT_EQ(S_FALSE, again); // still initialised: only a repeat
}

TEST(UndoStack, UndoesEveryStepLastFirstAndOnlyOnce)
{
    for (const std::vector<int>& pushed : {std::vector<int>{}, {1}, {1, 2, 3}})
    {
        std::vector<int> log;
        UndoStack stack;
        for (const int step : pushed)
            stack.Push([&log, step] { log.push_back(step); });
        stack.UndoAll();
        stack.UndoAll(); // runs nothing the second time
        EXPECT_EQ(std::vector<int>(pushed.rbegin(), pushed.rend()), log);
        EXPECT_TRUE(stack.Empty());
    }
}

TEST(Manager, EachUnInitUndoesItsOwnInit)
{
    // Nested pairs: the inner UnInit leaves the outer Init's COM (S_FALSE), the outer leaves none (S_OK).
    HRESULT afterInner = E_FAIL, afterOuter = E_FAIL;
    std::thread worker(
        [&]
        {
            Manager::InitGdiplus();
            Manager::InitGdiplus();
            Manager::UnInitGdiplus();
            afterInner = ::CoInitialize(nullptr);
            ::CoUninitialize();
            Manager::UnInitGdiplus();
            afterOuter = ::CoInitialize(nullptr);
            ::CoUninitialize();
        });
    worker.join();
    EXPECT_EQ(S_FALSE, afterInner);
    EXPECT_EQ(S_OK, afterOuter);
}

TEST(Manager, AltF4IsDroppedOnlyWhileBothAreDown)
{
    BYTE saved[256] = {};
    ASSERT_TRUE(::GetKeyboardState(saved));
    BYTE keys[256] = {};
    MSG msg = {};
    msg.message = WM_KEYDOWN;

    keys[VK_MENU] = 0x80;
    ASSERT_TRUE(::SetKeyboardState(keys));
    EXPECT_EQ(Manager::PreTranslateMessage(&msg), 0);
    keys[VK_F4] = 0x80;
    ASSERT_TRUE(::SetKeyboardState(keys));
    EXPECT_EQ(Manager::PreTranslateMessage(&msg), 1);
    keys[VK_MENU] = 0;
    ASSERT_TRUE(::SetKeyboardState(keys));
    EXPECT_EQ(Manager::PreTranslateMessage(&msg), 0);
    ::SetKeyboardState(saved);
}

namespace
{

int g_appMessages = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP)
        ++g_appMessages;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Posts three WM_APP to a message-only window, then WM_QUIT with 7, and runs the loop.
int RunLoopWithThreeMessages()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TesselLoopCounter";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    g_appMessages = 0;
    for (int i = 0; i < 3; ++i)
        ::PostMessageW(hwnd, WM_APP, 0, 0);
    ::PostQuitMessage(7);
    const int code = Tessel::Manager::MessageLoop();
    ::DestroyWindow(hwnd);
    return code;
}

} // namespace

TEST(Manager, MessageLoopDropsMessagesWhileAltF4AreDownAndReturnsQuitCode)
{
    BYTE saved[256] = {};
    ASSERT_TRUE(::GetKeyboardState(saved));
    BYTE keys[256] = {};
    ASSERT_TRUE(::SetKeyboardState(keys));
    EXPECT_EQ(RunLoopWithThreeMessages(), 7);
    EXPECT_EQ(g_appMessages, 3);

    keys[VK_MENU] = 0x80;
    keys[VK_F4] = 0x80;
    ASSERT_TRUE(::SetKeyboardState(keys));
    EXPECT_EQ(RunLoopWithThreeMessages(), 7);
    EXPECT_EQ(g_appMessages, 0);
    ::SetKeyboardState(saved);
}
