#pragma once

#include <windows.h>

#include "app/update/HttpTransfer.h"
#include "ProgramVersion.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

// The software and firmware update flow: version checks and downloads on the worker thread, the user's
// prompts on the window thread. The two meet only through WM_UPDATE_RESULT posted to the main window and
// the commands the prompt queues. The main window injects what the flow needs from the rest of the
// program, so its hooks stay one-line delegations.
class CUpdateService
{
public:
    static constexpr UINT kResultMessage = 0x69C; // WM_UPDATE_RESULT
    static constexpr WPARAM kSoftware = 1;
    static constexpr WPARAM kFirmware = 2;
    static constexpr LPARAM kCurrent = 0;
    static constexpr LPARAM kAvailable = 1;
    static constexpr LPARAM kNotInstalled = 2; // a download or start failed; the program runs on

    struct Hooks
    {
        // Worker thread: the attached display's firmware version; leaves the value alone on failure.
        std::function<void(int& version)> readFirmwareVersion;
        // Window thread: the themed message box; 1 for OK or YES.
        std::function<int(const std::wstring& text, const std::wstring& title, bool yesNo)> askUser;
        // Window thread: queues a worker command.
        std::function<void(int command)> appendCommand;
        // Worker thread: starts the extracted installer or tool; true when the shell started it.
        // Empty: ShellExecuteW "open", shown normally.
        std::function<bool(const std::wstring& path)> startProgram;
        // Worker thread: ends the program once the installer runs. Empty: the runtime's exit(0).
        std::function<void()> endProgram;
    };

    explicit CUpdateService(Hooks hooks);

    // Before the worker starts: the window that receives results and download progress.
    void SetWindow(HWND window) { m_window.store(window); }
    // Before the worker starts; both addresses end with '/'. The built-in ones name the build's server.
    void SetBaseAddresses(const std::wstring& software, const std::wstring& firmware);
    // Before the worker starts; ends with '\'. The built-in one is "...\Tarvik Kelvane Files\" in the
    // user's local application data.
    void SetWorkFolder(const std::wstring& folder);

    // Worker thread: the update commands 3 to 8; false for any other id.
    bool RunCommand(int command);
    void CheckSoftware(bool silent);
    void CheckFirmware(bool silent);
    // Ends the program (through the end hook) and returns true only when the installer was started.
    bool RunUpdate(WPARAM kind);

    // Window thread: WM_UPDATE_RESULT. Tells the user, or asks and queues the download. Returns 0.
    LRESULT OnUpdateResult(WPARAM kind, LPARAM result);

    std::wstring LatestVersion(WPARAM kind) const;
    std::wstring TempFolder() const;
    static std::wstring CurrentVersion() { return TK_VERSION_WIDE; }
    static std::wstring DefaultWorkFolder();

private:
    void Post(WPARAM kind, LPARAM result);
    std::wstring FetchVersionText(const std::wstring& baseAddress);
    bool StartProgram(const std::wstring& path);

    Hooks m_hooks; // set at construction, read-only after
    std::atomic<HWND> m_window{nullptr};
    CHttpTransfer m_download; // worker thread only; its last progress carries over between downloads

    mutable std::mutex m_mutex; // guards the texts below: the worker writes them, the prompt reads them
    std::wstring m_softwareBase;
    std::wstring m_firmwareBase;
    std::wstring m_workFolder;
    std::wstring m_latestSoftware;
    std::wstring m_latestFirmware;
};
