#include "app/core/DebugPrivilege.h"
#include "app/core/ProcessElevation.h"
#include "app/core/SensorServer.h"
#include "app/core/SingleInstance.h"
#include "app/core/StartupRules.h"
#include "app/ui/DeviceMainDlg.h"
#include "app/platform/LogLine.h"
#include "app/platform/ProgramLog.h"
#include "app/update/StagingFolder.h"
#include "ProgramVersion.h"

#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/Manager.h"

#include <windows.h>
#include <ole2.h>

#include <memory>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    // Without a usable log folder the program runs on and writes nothing.
    ProgramLog::Open();
    ProgramLog::NameThisThread("ui");
    ProgramLog::Write("start", std::string("version=" TK_VERSION_TEXT " elevated=") +
                                   (IsProcessElevated() ? "yes" : "no") + " arguments=\"" +
                                   LogUtf8(commandLine != nullptr ? commandLine : L"") + "\"");
    if (!ClaimSingleInstance())
    {
        BringRunningCopyToFront();
        ProgramLog::Write("exit", "code=0 reason=another-copy-runs");
        return 0;
    }
    if (WantsDpiAwareness(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
        SetProcessDPIAware();
    EnableDebugPrivilege();
    EndSensorServers();
    // An update that failed half-way, or whose installer has run since, left its folder behind.
    RemoveLeftoverStagingFolders();

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    Tessel::Manager::SetInstance(instance);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    OleInitialize(nullptr);

    const bool show = !StartsHidden(commandLine);
    auto dialog = std::make_unique<DeviceMainDlg>();
    dialog->RunMainDialog(show);

    dialog->StopWorkers();
    // A loop ended by WM_QUIT leaves the window alive; its controls hold GDI+ objects that must go
    // before GDI+ does.
    dialog->DestroyWindow();
    EndSensorServers();
    CoUninitialize();
    OleUninitialize();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    dialog.reset();
    ProgramLog::Write("exit", "code=1 reason=window-closed");
    return 1;
}
