// The main dialog's ties to the shell: tray icon, window marker, window icon, input method and
// device notifications, the exit command, and the answers of the update checks.
#include "app/core/ProgramFolder.h"
#include "app/core/ProgramTitle.h"
#include "app/core/SensorServer.h"
#include "app/core/StartupTask.h"
#include "app/platform/ProgramLog.h"
#include "app/ui/CUIMessageBox.h"
#include "app/ui/DeviceMainDlg.h"
#include "app/core/MainWindowMessages.h"

#include "tessel/render/Manager.h"

#include <imm.h>

#include <cstdlib>

namespace
{
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
    m_trayIcon.Add(GetSafeHwnd(), TrayIconPath());
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
    m_trayIcon.Remove();
}

void DeviceMainDlg::OnTrayTimer()
{
    KillTimer(kTrayTimerId);
    m_trayIcon.Add(GetSafeHwnd(), TrayIconPath()); // removes the shown icon first
    MoveToCorner();
}

LRESULT DeviceMainDlg::OnTrayNotify(LPARAM event)
{
    return m_trayIcon.OnNotify(*this, event, [this] { MoveToCorner(); });
}

LRESULT DeviceMainDlg::OnUpdateResult(WPARAM kind, LPARAM available)
{
    return m_update.OnUpdateResult(kind, available);
}

int DeviceMainDlg::AskUser(const std::wstring& text, const std::wstring& title, bool yesNo)
{
    return ShowMessageBox(text.c_str(), title.c_str(), yesNo ? MB_STYLE_YESNO : MB_STYLE_OK);
}

void DeviceMainDlg::HandOverToInstaller()
{
    m_handOverAsked.store(true);
    // Sent, not posted: the update worker must not run on past this point. The handle was set
    // before the update worker started and is cleared only after it stopped.
    const HWND window = GetSafeHwnd();
    if (window != nullptr)
        ::SendMessageW(window, WM_UPDATE_HANDOVER, 0, 0);
    // No window thread to do it (it is gone): the process still must not outlive the hand-over.
    EndSensorServers("hand-over");
    ProgramLog::Write("exit", "code=0 reason=installer-started");
    std::exit(0);
}

void DeviceMainDlg::OnHandOver()
{
    // Other processes may send the message too; only the update path's own request counts.
    if (!m_handOverAsked.load())
        return;
    // The installer replaces the server's files and starts its own copy: ours must not hold them.
    EndSensorServers("hand-over");
    RemoveTrayIcon();
    Stop();
    ProgramLog::Write("exit", "code=0 reason=installer-started");
    std::exit(0);
}

void DeviceMainDlg::ExitAtOnce()
{
    RemoveTrayIcon();
    ProgramLog::Write("exit", "code=0 reason=tray-exit");
    // At once: the worker may be inside a step, so no destructors run behind its back.
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);
}

void DeviceMainDlg::RegisterStartupTask()
{
    ::RegisterStartupTask();
}
