#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

// Plays the user of a message box from a helper thread while the test thread sits in
// ShowMessageBox: waits until the box is on screen and painted, then runs the action with the
// box's window and screen rectangle. Should the box still be open a while after the action, it
// is closed so that a failing test cannot hang.
class BoxDriver
{
public:
    using Action = std::function<void(HWND box, const RECT& screenRect)>;

    explicit BoxDriver(Action action);
    ~BoxDriver();
    BoxDriver(const BoxDriver&) = delete;
    BoxDriver& operator=(const BoxDriver&) = delete;

    // Waits for the helper thread; true when it saw the box.
    bool Finish();

    // A real left click (move, press, release) at a point of the box's client area.
    static void ClickClientPoint(const RECT& screenRect, int x, int y);

private:
    void Run(Action action);

    std::thread m_thread;
    std::atomic<bool> m_found{false};
};
