#pragma once

#include "tessel/render/GdiObject.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace Tessel
{
class MWindow;
}

// The program's icon in the notification area: one notify-icon record (id 109, callback
// WM_TRAY_NOTIFY, tip "Tarvik Kelvane") and the icon it shows. Window thread only.
class TrayIcon
{
public:
    static constexpr UINT kIconId = 109;

    TrayIcon();
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Loads the icon file and adds the record for `window`, replacing an icon shown before. A
    // missing file leaves the icon empty; the record is still added.
    void Add(HWND window, const std::wstring& iconFile);
    // Deletes the record from the notification area if it was added; the shell finds it by
    // window and id.
    void Remove();
    // The shell's taskbar was re-created and has forgotten every icon: add the record again.
    void OnTaskbarCreated();

    // Left button down brings the window up at the corner; right button up opens the one-item
    // "Exit" menu, whose choice reaches the window as WM_COMMAND ID_TRAY_EXIT. Returns 0.
    LRESULT OnNotify(Tessel::MWindow& window, LPARAM event, const std::function<void()>& moveToCorner);

    // The registered "TaskbarCreated" message the shell broadcasts after a restart.
    static UINT TaskbarCreatedMessage();

    bool IsAdded() const { return m_added; }
    const NOTIFYICONDATAW& Record() const { return m_record; }

private:
    NOTIFYICONDATAW m_record;
    Tessel::IconHandle m_icon; // owns m_record.hIcon
    bool m_added = false;
};
