// The main dialog's ties to the shell: tray icon, window marker, window icon, input method and
// device notifications, the exit command, and the answers of the update checks.
#include "app/core/ProgramFolder.h"
#include "app/core/ProgramTitle.h"
#include "app/ui/DeviceMainDlg.h"
#include "app/ui/MainWindowMessages.h"

#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"

#include <imm.h>

#include <cwchar>

namespace
{
constexpr UINT kTrayIconId = 109;
constexpr UINT kWindowIconGroup = 107;
constexpr UINT kTrayTimerMs = 10000;
constexpr wchar_t kTrayIconFile[] = L"Pyrolink.ico";

std::wstring TrayIconPath()
{
    const Tessel::CString theme = Tessel::Manager::GetTheme();
    return GetProgramFolder() + L"skins\\" + theme.GetString() + kTrayIconFile;
}
} // namespace

void DeviceMainDlg::AddTrayIcon()
{
    SetPropW(GetSafeHwnd(), kProgramTitle, reinterpret_cast<HANDLE>(1));
    OnTrayTimer();
    SetIcon(kWindowIconGroup);
    SetTimer(kTrayTimerId, kTrayTimerMs);
    if (HIMC context = ImmGetContext(GetSafeHwnd()))
    {
        ImmSetOpenStatus(context, FALSE);
        ImmReleaseContext(GetSafeHwnd(), context);
    }
    ImmAssociateContext(GetSafeHwnd(), nullptr);
    m_deviceNotifications = RegisterDisplayNotifications(GetSafeHwnd());
}

void DeviceMainDlg::RemoveTrayIcon()
{
    if (!m_notifyIconData.hIcon)
        return;
    m_notifyIconData.hIcon = nullptr;
    Shell_NotifyIconW(NIM_DELETE, &m_notifyIconData);
    m_trayIcon = Tessel::IconHandle();
}

void DeviceMainDlg::OnTrayTimer()
{
    KillTimer(kTrayTimerId);
    RemoveTrayIcon();
    m_trayIcon = Tessel::MRender::LoadIconFromFile(TrayIconPath().c_str());
    m_notifyIconData.hWnd = GetSafeHwnd();
    m_notifyIconData.hIcon = m_trayIcon.get();
    m_notifyIconData.uID = kTrayIconId;
    m_notifyIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_notifyIconData.uCallbackMessage = WM_TRAY_NOTIFY;
    std::wcsncpy(m_notifyIconData.szTip, kProgramTitle, ARRAYSIZE(m_notifyIconData.szTip) - 1);
    Shell_NotifyIconW(NIM_ADD, &m_notifyIconData);
    MoveToCorner();
}

LRESULT DeviceMainDlg::OnTrayNotify(LPARAM event)
{
    if (event == WM_LBUTTONDOWN)
    {
        SetForegroundWindow(GetSafeHwnd());
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow(GetSafeHwnd());
        BringToTop();
        MoveToCorner();
    }
    else if (event == WM_RBUTTONUP)
    {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, ID_TRAY_EXIT, L"Exit");
        POINT cursor = {};
        GetCursorPos(&cursor);
        SetForegroundWindow(GetSafeHwnd());
        TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, GetSafeHwnd(), nullptr);
        DestroyMenu(menu);
    }
    return 0;
}

LRESULT DeviceMainDlg::OnUpdateResult(WPARAM kind, LPARAM available)
{
    return m_update.OnUpdateResult(kind, available);
}

int DeviceMainDlg::AskUser(const std::wstring& text, const std::wstring& title, bool yesNo)
{
    const int answer = MessageBoxW(GetSafeHwnd(), text.c_str(), title.c_str(),
                                   (yesNo ? MB_YESNO : MB_OK) | MB_TOPMOST | MB_SETFOREGROUND);
    return answer == IDOK || answer == IDYES ? 1 : answer == IDNO ? 2 : 0;
}

void DeviceMainDlg::ExitAtOnce()
{
    RemoveTrayIcon();
    // At once: the worker may be inside a step, so no destructors run behind its back.
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);
}

void DeviceMainDlg::RegisterStartupTask() {}
