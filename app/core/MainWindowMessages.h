#pragma once

// Private messages and command ids of the main window. Other processes may send them too.
constexpr unsigned WM_TRAY_NOTIFY = 0x69A;     // tray callbacks; download progress with wParam 0
constexpr unsigned WM_UPDATE_RESULT = 0x69C;   // wParam 1 software / 2 firmware, lParam 1 newer / 0 current
constexpr unsigned WM_DEVICE_LABEL = 0x69E;    // the worker's new device-count text is waiting
constexpr unsigned WM_UPDATE_HANDOVER = 0x69F; // the installer runs: end the servers, the icon, the program

constexpr unsigned ID_TRAY_EXIT = 100;
constexpr unsigned ID_CHECK_FIRMWARE = 101;
constexpr unsigned ID_CHECK_SOFTWARE = 102;

constexpr unsigned kTrayTimerId = 200;
