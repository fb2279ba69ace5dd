#include "app/ui/TrayIcon.h"

#include "app/core/ProgramTitle.h"
#include "app/core/MainWindowMessages.h"

#include "tessel/render/MRender.h"
#include "tessel/window/MWindow.h"

#include <cwchar>
#include <memory>
#include <type_traits>

namespace
{
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;
} // namespace

TrayIcon::TrayIcon() : m_record{}
{
    m_record.cbSize = sizeof m_record;
}

TrayIcon::~TrayIcon()
{
    Remove();
}

UINT TrayIcon::TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void TrayIcon::Add(HWND window, const std::wstring& iconFile)
{
    Remove();
    m_icon = Tessel::MRender::LoadIconFromFile(iconFile.c_str());
    m_record.hWnd = window;
    m_record.hIcon = m_icon.get();
    m_record.uID = kIconId;
    m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_record.uCallbackMessage = WM_TRAY_NOTIFY;
    std::wcsncpy(m_record.szTip, kProgramTitle, ARRAYSIZE(m_record.szTip) - 1);
    m_record.szTip[ARRAYSIZE(m_record.szTip) - 1] = L'\0';
    // The program runs elevated; without this the shell's broadcast never reaches it.
    ChangeWindowMessageFilterEx(window, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    Shell_NotifyIconW(NIM_ADD, &m_record);
    m_added = true;
}

void TrayIcon::Remove()
{
    // Tracked apart from the icon: a record added without an icon must not outlive the program.
    if (!m_added)
        return;
    m_added = false;
    Shell_NotifyIconW(NIM_DELETE, &m_record);
    m_record.hIcon = nullptr;
    m_icon.reset();
}

void TrayIcon::OnTaskbarCreated()
{
    if (m_added)
        Shell_NotifyIconW(NIM_ADD, &m_record);
}

LRESULT TrayIcon::OnNotify(Tessel::MWindow& window, LPARAM event, const std::function<void()>& moveToCorner)
{
    const HWND hwnd = window.GetSafeHwnd();
    if (event == WM_LBUTTONDOWN)
    {
        SetForegroundWindow(hwnd);
        window.ShowWindow(SW_SHOWNORMAL);
        UpdateWindow(hwnd);
        window.BringToTop();
        if (moveToCorner)
            moveToCorner();
    }
    else if (event == WM_RBUTTONUP)
    {
        MenuHandle menu(CreatePopupMenu(), &DestroyMenu);
        if (!menu)
            return 0;
        AppendMenuW(menu.get(), MF_STRING, ID_TRAY_EXIT, L"Exit");
        POINT cursor = {};
        GetCursorPos(&cursor);
        // Without the foreground the menu would not close on a click elsewhere.
        SetForegroundWindow(hwnd);
        TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd, nullptr);
    }
    return 0;
}
