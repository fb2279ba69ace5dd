#include "app/core/ComApartment.h"
#include "app/core/DebugPrivilege.h"
#include "app/core/OleSession.h"
#include "app/core/ProcessElevation.h"
#include "app/core/SensorServer.h"
#include "app/core/SingleInstance.h"
#include "app/core/StartupRules.h"
#include "app/platform/LogLine.h"
#include "app/platform/ProgramLog.h"
#include "app/ui/DeviceMainDlg.h"
#include "app/ui/GdiplusSession.h"
#include "app/ui/StartupNotice.h"
#include "app/update/staging/StagingFolder.h"
#include "ProgramVersion.h"

#include "tessel/render/Manager.h"

#include <windows.h>

#include <memory>

namespace
{
// How long a second start waits for the running copy's window (it may still be starting, or
// ending) before the mutex counts as held by something else.
constexpr DWORD kRunningCopyWaitMs = 5000;
// Exit code when a library the windows need did not start.
constexpr int kStartFailed = 2;
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    // First, so that even a refused start leaves its line.
    ProgramLog::Open();
    ProgramLog::NameThisThread("ui");
    ProgramLog::Write("start", std::string("version=" TK_VERSION_TEXT " elevated=") +
                                   (IsProcessElevated() ? "yes" : "no") + " arguments=\"" +
                                   LogUtf8(commandLine != nullptr ? commandLine : L"") + "\"");
    switch (ClaimOrHandOver(kRunningCopyWaitMs))
    {
    case InstanceClaim::BroughtToFront:
        ProgramLog::Write("exit", "code=0 reason=another-copy-runs");
        return 0;
    case InstanceClaim::HeldWithoutWindow:
        TellInstanceHeldWithoutWindow();
        ProgramLog::Write("exit", "code=0 reason=instance-held-without-window");
        return 0;
    case InstanceClaim::First:
        break;
    }
    if (WantsDpiAwareness(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
        SetProcessDPIAware();
    EnableDebugPrivilege();
    EndSensorServers("start-up");
    // An update that failed half-way, or whose installer has run since, left its folder behind.
    RemoveLeftoverStagingFolders();

    // Declared first, so destroyed last: after OLE, COM and GDI+ have been undone, in the
    // reverse order of their start, by their owners below.
    std::unique_ptr<DeviceMainDlg> dialog;
    GdiplusSession gdiplus;
    if (!gdiplus)
    {
        TellLibraryFailed("GDI+", gdiplus.Result(), true);
        ProgramLog::Write("exit", "code=2 reason=gdiplus-failed");
        return kStartFailed;
    }
    Tessel::Manager::SetInstance(instance);
    ComApartment com;
    if (!com.Joined())
        TellLibraryFailed("COM", com.Result(), false);
    OleSession ole;
    if (!ole)
        TellLibraryFailed("OLE", ole.Result(), false);

    const bool show = !StartsHidden(commandLine);
    dialog = std::make_unique<DeviceMainDlg>();
    dialog->RunMainDialog(show);

    dialog->StopWorkers();
    // A loop ended by WM_QUIT leaves the window alive; its controls hold GDI+ objects that must go
    // before GDI+ does.
    dialog->DestroyWindow();
    EndSensorServers("exit");
    ProgramLog::Write("exit", "code=1 reason=window-closed");
    return 1;
}
