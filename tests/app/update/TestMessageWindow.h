#pragma once

#include <windows.h>

#include <vector>

// A message-only window that collects what is posted to it, in order.
class TestMessageWindow
{
public:
    struct Posted
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    TestMessageWindow();
    ~TestMessageWindow();
    TestMessageWindow(const TestMessageWindow&) = delete;
    TestMessageWindow& operator=(const TestMessageWindow&) = delete;

    HWND Handle() const { return m_window; }
    // Takes every message waiting for the window.
    std::vector<Posted> Drain();
    // The lParam values of the waiting messages with the given id.
    std::vector<int> DrainValues(UINT message);

private:
    HWND m_window;
};
