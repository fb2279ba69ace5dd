#include "app/ui/DeviceMainDlg.h"

#include "app/core/SensorServer.h"
#include "app/core/SettingsStore.h"
#include "app/device/CDeviceManager.h"
#include "app/device/SensorSnapshot.h"
#include "app/device/WorkerCommands.h"
#include "app/platform/ProgramLog.h"
#include "app/update/UpdateServerAddress.h"
#include "app/core/MainWindowMessages.h"
#include "ProgramVersion.h"

#include "tessel/controls/MControlFont.h"

#include <dbt.h>

using Tessel::CPoint;
using Tessel::CRect;
using Tessel::MControlFont;
namespace Rules = MainDialogRules;

namespace
{
constexpr wchar_t kWindowName[] = L"KELVANE";
constexpr wchar_t kVersionLabel[] = L"Version:" TK_VERSION_WIDE;
constexpr wchar_t kHelpPage[] = L"https://www.tarvik-kelvane.com/support/q17x";
constexpr wchar_t kLabelFont[] = L"Alibaba-PuHuiTi-Medium";
constexpr int kLabelFontSize = 28;
constexpr UINT kButtonId = 30;
constexpr UINT kLedId = 31;
constexpr UINT kUnitId = 32;
constexpr UINT kSourceId = 33;
constexpr UINT kHelpId = 34;
constexpr UINT kTextId = 35;
// Long enough for a scan and a tick's rest ahead of the read in the display worker's queue.
constexpr DWORD kFirmwareReadWaitMs = 5000;

CRect ToRect(const Rules::Box& box)
{
    return CRect(box.left, box.top, box.right, box.bottom);
}

void Place(MControlFont* control, const Rules::Box& box)
{
    if (control)
        control->SetRect(ToRect(box));
}

void Show(MControlFont* control, int visible)
{
    if (control)
        control->SetVisible(visible);
}

void SetPicture(MControlFont* control, const wchar_t* file, int frames)
{
    if (control)
        control->SetImage(file, frames);
}
} // namespace

UpdateService::Hooks DeviceMainDlg::UpdateHooks()
{
    UpdateService::Hooks hooks;
    // The device manager belongs to the display worker: the update worker asks it for the read
    // and gives up after the wait, or at once when the update worker is being stopped.
    hooks.readFirmwareVersion = [this](int& version)
    { RequestFirmwareVersion(version, kFirmwareReadWaitMs, m_updateWorker.StopEvent()); };
    hooks.askUser = [this](const std::wstring& text, const std::wstring& title, bool yesNo)
    { return AskUser(text, title, yesNo); };
    hooks.appendCommand = [this](const UpdateCommand& command) { m_updateWorker.Append(command); };
    hooks.endProgram = [this] { HandOverToInstaller(); };
    return hooks;
}

DeviceMainDlg::DeviceMainDlg()
    : DeviceWorker(CDeviceManager::Instance()), m_update(UpdateHooks()),
      m_updateWorker([this](const UpdateCommand& command) { m_update.RunCommand(command); })
{
}

DeviceMainDlg::~DeviceMainDlg()
{
    // The workers read our members; they must be gone before they are.
    StopWorkers();
    RemoveTrayIcon();
}

void DeviceMainDlg::StopWorkers()
{
    // First: a firmware check may be waiting for the display worker, and the stop cuts that short.
    if (!m_updateWorker.Stop())
    {
        RemoveTrayIcon();
        EndSensorServers("exit");
        ProgramLog::Write("exit", "code=0 reason=update-command-still-running");
        TerminateProcess(GetCurrentProcess(), 0);
    }
    Stop();
}

CRect DeviceMainDlg::CornerRect(const RECT& workArea)
{
    const int right = workArea.right - Rules::kCornerMargin;
    const int bottom = workArea.bottom - Rules::kCornerMargin;
    return CRect(right - Rules::kWidth, bottom - Rules::kHeight, right, bottom);
}

UINT DeviceMainDlg::RunMainDialog(bool show)
{
    RECT workArea = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    Create(nullptr, kWindowName, WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW,
           CornerRect(workArea));
    return ShowModal(show ? SW_SHOWNORMAL : SW_HIDE);
}

void DeviceMainDlg::MoveToCorner()
{
    RECT workArea = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const CRect rect = CornerRect(workArea);
    MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

int DeviceMainDlg::OnInitDialog()
{
    MDialog::OnInitDialog();
    m_labelWindow = GetSafeHwnd();

    int led = ReadSetting(kLedSwitchSetting);
    if (led == 0)
    {
        WriteSetting(kLedSwitchSetting, 1);
        led = 1;
    }
    m_ledSwitch = led;
    m_deviceType = ReadSetting(kDeviceTypeSetting);
    m_tempeType = ReadSetting(kTempeTypeSetting);

    LoadBKImage(L"img_bkg.png");
    RefreshPictures();

    RegisterStartupTask();
    m_servers.Launch("sensor-server-start", "by=window");
    AddTrayIcon();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);

    m_update.SetWindow(GetSafeHwnd());
    m_update.SetBaseAddresses(UpdateServerHost() + L"/q17x/software/",
                              UpdateServerHost() + L"/q17x/firmware/");

    // The scan is queued before either worker runs, so the firmware check's read, which queues
    // behind it on the display worker, meets the scanned displays.
    Append(CMD_SCAN_DEVICES);
    Start();
    m_updateWorker.Append(CMD_CHECK_SOFTWARE_SILENT);
    m_updateWorker.Append(CMD_CHECK_FIRMWARE_SILENT);
    m_updateWorker.Start();

    SetTimer(SensorServerWatch::kTimerId, SensorServerWatch::kPeriodMs);
    return 1;
}

void DeviceMainDlg::InitUI(CRect client)
{
    SetLayeredWindow(TRUE);
    auto control = [this](const wchar_t* cls, UINT id, const wchar_t* text)
    { return static_cast<MControlFont*>(CreateControl(cls, id, CRect(), text, 1, 1)); };
    auto area = [this](const wchar_t* cls, UINT id)
    { return static_cast<MControlFont*>(CreateArea(cls, id, CRect(), L"", 1, 1)); };
    m_btnClose = control(L"CImageButton", kButtonId, L"");
    SetPicture(m_btnClose, L"img_close.png", 4);
    m_btnSettings = control(L"CImageButton", kButtonId, L"");
    SetPicture(m_btnSettings, L"img_set.png", 4);
    m_picTempeType = area(L"MPicture", kUnitId);
    m_picLed = area(L"MPicture", kLedId);
    m_picDeviceType = area(L"MPicture", kSourceId);
    m_picHelp = area(L"MPicture", kHelpId);
    SetPicture(m_picHelp, L"img_FAQ.png", 1);
    Show(m_picHelp, 0);
    m_txtVersion = control(L"MText", kTextId, kVersionLabel);
    m_txtDevice = control(L"MText", kTextId, L"Device:");
    for (MControlFont* text : {m_txtVersion, m_txtDevice})
    {
        if (!text)
            continue;
        text->SetFont(kLabelFont, kLabelFontSize, Gdiplus::FontStyleBold);
        text->SetTextColor(Gdiplus::Color(255, 0, 0, 0));
        text->SetVisible(0);
    }
    UISize(client);
}

void DeviceMainDlg::UISize(CRect client)
{
    if (client.Width() < 11)
        return;
    Place(m_btnClose, Rules::kCloseButton);
    Place(m_btnSettings, Rules::kSettingsButton);
    Place(m_picLed, Rules::kLedPicture);
    Place(m_picTempeType, Rules::kUnitPicture);
    Place(m_picDeviceType, Rules::kSourcePicture);
    Place(m_picHelp, Rules::kHelpPicture);
    Place(m_txtVersion, Rules::kVersionText);
    Place(m_txtDevice, Rules::kDeviceText);
}

void DeviceMainDlg::RefreshPictures()
{
    SetPicture(m_picDeviceType, m_deviceType != 0 ? L"img_dev_gpu.png" : L"img_dev_cpu.png", 1);
    SetPicture(m_picTempeType, m_tempeType != 0 ? L"img_temp_type2.png" : L"img_temp_type1.png", 1);
    SetPicture(m_picLed, m_ledSwitch == 1 ? L"img_led_on.png" : L"img_led_off.png", 1);
}

void DeviceMainDlg::InvalidateClient()
{
    RECT client = {};
    GetClientRect(&client);
    InvalidateRect(CRect(client), FALSE);
}

LONG DeviceMainDlg::OnMessage(UINT, UINT, UINT, LONG)
{
    // Buttons act when pressed (OnLButtonDown); their release notifications are not needed.
    return 0;
}

LRESULT DeviceMainDlg::OnLButtonDown(UINT keys, CPoint pt)
{
    const LRESULT result = MDialog::OnLButtonDown(keys, pt);
    const bool settings = m_settingsPage != 0;
    switch (Rules::HitTest(pt.x, pt.y))
    {
    case Rules::ClickTarget::Source:
        if (settings)
            return 1;
        m_deviceType = Rules::NextToggle(m_deviceType);
        WriteSetting(kDeviceTypeSetting, m_deviceType != 0 ? 1 : 0);
        break;
    case Rules::ClickTarget::Led:
        if (settings)
            return 1;
        m_ledSwitch = Rules::NextLedSwitch(m_ledSwitch);
        WriteSetting(kLedSwitchSetting, m_ledSwitch == 2 ? 2 : 1);
        break;
    case Rules::ClickTarget::Unit:
        if (settings)
            return 1;
        m_tempeType = Rules::NextToggle(m_tempeType);
        WriteSetting(kTempeTypeSetting, m_tempeType != 0 ? 1 : 0);
        break;
    case Rules::ClickTarget::Help:
        if (settings)
            ShellExecuteW(nullptr, L"open", kHelpPage, nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case Rules::ClickTarget::Close:
        ShowWindow(SW_HIDE);
        break;
    case Rules::ClickTarget::Settings:
        ShowSettingsPage(!settings);
        break;
    case Rules::ClickTarget::Nothing:
        break;
    }
    RefreshPictures();
    InvalidateClient();
    return result;
}

void DeviceMainDlg::ShowSettingsPage(bool settings)
{
    if (settings)
        m_settingsPage = 1;
    for (MControlFont* picture : {m_picTempeType, m_picLed, m_picDeviceType})
        Show(picture, settings ? 0 : 1);
    for (MControlFont* item : {m_picHelp, m_txtVersion, m_txtDevice})
        Show(item, settings ? 1 : 0);
    SetPicture(m_btnSettings, settings ? L"img_return.png" : L"img_set.png", 4);
    if (!settings)
        m_settingsPage = 0;
}

LRESULT DeviceMainDlg::OnLButtonUp(UINT keys, CPoint pt)
{
    return MDialog::OnLButtonUp(keys, pt);
}

LRESULT DeviceMainDlg::OnMouseMove(UINT keys, CPoint pt)
{
    const LRESULT result = MDialog::OnMouseMove(keys, pt);
    const int hover = Rules::kCloseButton.Contains(pt.x, pt.y) ? 1 : 0;
    if (hover != m_closeHover)
    {
        m_closeHover = hover;
        InvalidateClient();
    }
    return result;
}

LRESULT DeviceMainDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A restarted shell has lost the icon, the user's only way back to a hidden window.
    if (msg == TrayIcon::TaskbarCreatedMessage())
        m_trayIcon.OnTaskbarCreated();
    switch (msg)
    {
    case WM_DEVICECHANGE:
        return OnDeviceChange(wParam, lParam);
    case WM_TRAY_NOTIFY:
        return OnTrayNotify(lParam);
    case WM_UPDATE_RESULT:
        return OnUpdateResult(wParam, lParam);
    case WM_DEVICE_LABEL:
        ApplyDeviceLabel();
        return 0;
    case WM_UPDATE_HANDOVER:
        OnHandOver();
        return 0;
    case WM_COMMAND:
        // The whole wParam: a command with a notification code in its high word is not ours.
        if (wParam == ID_TRAY_EXIT)
            ExitAtOnce();
        if (wParam == ID_CHECK_FIRMWARE)
            m_updateWorker.Append(CMD_CHECK_FIRMWARE);
        else if (wParam == ID_CHECK_SOFTWARE)
            m_updateWorker.Append(CMD_CHECK_SOFTWARE);
        break;
    default:
        break;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
}

void DeviceMainDlg::OnTimer(UINT id)
{
    if (id == kTrayTimerId)
        OnTrayTimer();
    else if (id == SensorServerWatch::kTimerId)
        OnWatchTimer();
}

void DeviceMainDlg::OnWatchTimer()
{
    const volatile std::uint8_t* view = Snapshot().View();
    const float liveness = view ? SensorSnapshot(view).CpuLiveness() : 0.0f;
    const std::uint32_t tick = m_watch.Ticks() + 1;
    const SensorServerWatch::Decision decision = m_watch.Tick(view != nullptr, liveness);
    if (decision.launchServer)
        m_servers.Launch("sensor-server-restart",
                         "by=watch tick=" + std::to_string(tick) + " liveness=" + std::to_string(liveness));
    if (decision.stopTimer)
        KillTimer(SensorServerWatch::kTimerId);
}

void DeviceMainDlg::SetDeviceLabel(const std::wstring& text)
{
    {
        std::lock_guard<std::mutex> lock(m_labelMutex);
        m_pendingLabel = text;
    }
    if (HWND window = m_labelWindow.load())
        ::PostMessageW(window, WM_DEVICE_LABEL, 0, 0);
}

void DeviceMainDlg::ApplyDeviceLabel()
{
    std::wstring text;
    {
        std::lock_guard<std::mutex> lock(m_labelMutex);
        if (m_pendingLabel.empty())
            return;
        text.swap(m_pendingLabel);
    }
    if (m_txtDevice)
        m_txtDevice->SetTitle(text.c_str());
}
