#include "tests/app/update/TestMessageWindow.h"

TestMessageWindow::TestMessageWindow()
    : m_window(CreateWindowExW(0, L"STATIC", L"update test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                               nullptr))
{
}

TestMessageWindow::~TestMessageWindow()
{
    if (m_window != nullptr)
        DestroyWindow(m_window);
}

std::vector<TestMessageWindow::Posted> TestMessageWindow::Drain()
{
    std::vector<Posted> posted;
    MSG msg;
    while (PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE))
        posted.push_back({msg.message, msg.wParam, msg.lParam});
    return posted;
}

std::vector<int> TestMessageWindow::DrainValues(UINT message)
{
    std::vector<int> values;
    for (const auto& p : Drain())
    {
        if (p.message == message)
            values.push_back(static_cast<int>(p.lParam));
    }
    return values;
}
