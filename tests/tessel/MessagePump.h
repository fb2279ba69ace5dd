#pragma once

#include "tessel/render/Manager.h"

#include <gtest/gtest.h>
#include <windows.h>

// GDI+, COM and OLE for the whole test program, and the module the framework registers
// its window classes with.
class TesselEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Tessel::Manager::SetInstance(::GetModuleHandleW(nullptr));
        ASSERT_TRUE(Tessel::Manager::InitGdiplus());
    }
    void TearDown() override { Tessel::Manager::UnInitGdiplus(); }
};

// Dispatches this thread's messages for about ms milliseconds.
inline void PumpMessages(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    do
    {
        MSG msg;
        // Bounded by time too: a window that keeps repainting never empties the queue.
        while (::GetTickCount() - start < ms && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(1);
    } while (::GetTickCount() - start < ms);
}

// Dispatches messages until pred() holds or about ms milliseconds passed; returns pred().
template <typename Pred> bool PumpUntil(Pred pred, DWORD ms = 3000)
{
    const DWORD start = ::GetTickCount();
    while (!pred() && ::GetTickCount() - start < ms)
        PumpMessages(5);
    return pred();
}
