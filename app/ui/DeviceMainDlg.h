#pragma once

#include "app/core/SensorServerLauncher.h"
#include "app/core/SensorServerWatch.h"
#include "app/device/DeviceWorker.h"
#include "app/device/DeviceNotifications.h"
#include "app/update/UpdateService.h"
#include "app/update/UpdateWorker.h"
#include "app/ui/MainDialogRules.h"
#include "app/ui/TrayIcon.h"

#include "tessel/render/GdiObject.h"
#include "tessel/window/MDialog.h"

#include <shellapi.h>

#include <atomic>
#include <mutex>
#include <string>

namespace Tessel
{
class MControlFont;
}

// The program's main window: a 500 x 350 layered popup at the bottom-right of the work area with
// two pages (the three setting pictures; version, device count and help). It also owns the
// program's running parts, and the worker thread runs on its DeviceWorker base.
class DeviceMainDlg : public Tessel::MDialog, public DeviceWorker
{
public:
    DeviceMainDlg();
    ~DeviceMainDlg() override;

    // Creates the window at the bottom-right corner and runs its modal loop, shown or hidden.
    UINT RunMainDialog(bool show);
    // Back to 500 x 350 at the corner of the work area, repainted.
    void MoveToCorner();
    // Window thread: stops the update worker, then the display worker. An update command that
    // does not end in time (a transfer bounded only by its own deadline) is not waited for: the
    // sensor servers and the tray icon go first, then the process ends with exit code 0.
    void StopWorkers();

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnInitDialog() override;
    void InitUI(Tessel::CRect client) override;
    void UISize(Tessel::CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    LRESULT OnMouseMove(UINT keys, Tessel::CPoint pt) override;
    LRESULT OnLButtonDown(UINT keys, Tessel::CPoint pt) override;
    LRESULT OnLButtonUp(UINT keys, Tessel::CPoint pt) override;
    void OnTimer(UINT id) override;

    // Where the window sits for a work area: 500 x 350 with a 2-pixel margin.
    static Tessel::CRect CornerRect(const RECT& workArea);

protected:
    // Worker thread: the label text goes to the window thread, which owns the controls.
    void SetDeviceLabel(const std::wstring& text) override;

private:
    UpdateService::Hooks UpdateHooks();
    void RefreshPictures();
    void ShowSettingsPage(bool settings);
    void InvalidateClient();
    void ApplyDeviceLabel();
    void OnWatchTimer();

    // Notification area (window thread).
    void AddTrayIcon();
    void RemoveTrayIcon();
    void OnTrayTimer();
    LRESULT OnTrayNotify(LPARAM event);
    LRESULT OnUpdateResult(WPARAM kind, LPARAM available);
    // Update worker: the installer has started; the window thread ends the program.
    void HandOverToInstaller();
    // Window thread: WM_UPDATE_HANDOVER, acted on only after HandOverToInstaller asked for it.
    void OnHandOver();
    [[noreturn]] void ExitAtOnce();
    int AskUser(const std::wstring& text, const std::wstring& title, bool yesNo);
    void RegisterStartupTask();

    // Controls belong to the paint manager; these are borrowed and die with the window.
    Tessel::MControlFont* m_btnClose = nullptr;
    Tessel::MControlFont* m_btnSettings = nullptr;
    Tessel::MControlFont* m_picLed = nullptr;
    Tessel::MControlFont* m_picTempeType = nullptr;
    Tessel::MControlFont* m_picDeviceType = nullptr;
    Tessel::MControlFont* m_picHelp = nullptr;
    Tessel::MControlFont* m_txtVersion = nullptr;
    Tessel::MControlFont* m_txtDevice = nullptr;

    int m_settingsPage = 0;
    int m_closeHover = 0;

    std::mutex m_labelMutex;
    std::wstring m_pendingLabel;              // guarded by m_labelMutex; worker writes, window thread takes
    std::atomic<HWND> m_labelWindow{nullptr}; // window thread sets once; worker posts to it

    UpdateService m_update; // update worker runs its commands; window thread answers its results
    // Declared after m_update, so it stops before the service it runs goes.
    UpdateWorker m_updateWorker;
    std::atomic<bool> m_handOverAsked{false}; // update worker sets; window thread reads

    SensorServerWatch m_watch;      // window thread
    SensorServerLauncher m_servers; // window thread
    DeviceNotifications m_deviceNotifications;
    TrayIcon m_trayIcon; // window thread
};
