#pragma once

#include <windows.h>

#include "app/core/MainWindowMessages.h"
#include "app/update/http/CHttpTransfer.h"
#include "app/update/staging/StagingFolder.h"
#include "app/update/UpdateCommand.h"
#include "app/update/UpdateFailure.h"
#include "app/update/trust/UpdateKind.h"

#include "ProgramVersion.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

// The software and firmware update flow: version checks and downloads on the update worker, the user's
// prompts on the window thread. The two meet only through WM_UPDATE_RESULT posted to the main window and
// the commands the prompt queues. The main window injects what the flow needs from the rest of the
// program, so its hooks stay one-line delegations. Nothing is fetched when the build carries no update
// key, and nothing downloaded is unpacked before its signature is checked.
//
// The steps, in order (the folders below this one hold them):
//   1. check:  the server's version text (http), compared with the program's or the display's version
//   2. ask:    WM_UPDATE_RESULT to the window; a YES queues the update of the version shown
//   3. fetch:  that version text again, the archive into a new file of a fresh staging folder
//              (staging) and its signature (http)
//   4. verify: the signature over kind, version text and the archive's bytes (trust)
//   5. unpack: the archive, through the same open handle, into the staging folder (archive)
//   6. start:  the installer or tool from the archive, then the program ends
// A step that refuses ends the update in one UpdateFailure naming it, logged once.
class UpdateService
{
public:
    static constexpr LPARAM kCurrent = 0;
    static constexpr LPARAM kAvailable = 1;
    static constexpr LPARAM kNotInstalled = 2; // a download or start failed; the program runs on
    static constexpr LPARAM kSwitchedOff = 3;  // this build has no update key: a manual check says so
    // Bounds on what a download may bring; a larger one fails the update.
    static constexpr unsigned long long kMaxArchiveBytes = 256ULL * 1024 * 1024;
    static constexpr size_t kMaxSignatureBytes = 256;

    struct Hooks
    {
        // Update worker: the attached display's firmware version; leaves the value alone on failure.
        std::function<void(int& version)> readFirmwareVersion;
        // Window thread: the themed message box; 1 for OK or YES.
        std::function<int(const std::wstring& text, const std::wstring& title, bool yesNo)> askUser;
        // Window thread: queues a worker command.
        std::function<void(const UpdateCommand& command)> appendCommand;
        // Update worker: starts the extracted installer or tool; true when the shell started it.
        // Empty: ShellExecuteW "open", shown normally.
        std::function<bool(const std::wstring& path)> startProgram;
        // Update worker: ends the program once the installer runs (the main window first ends the
        // sensor servers and removes its tray icon). Empty: the runtime's exit(0).
        std::function<void()> endProgram;
    };

    explicit UpdateService(Hooks hooks);

    // Before the worker starts: the window that receives results and download progress.
    void SetWindow(HWND window) { m_window.store(window); }
    // Before the worker starts; both addresses end with '/'. The built-in ones name the build's server.
    void SetBaseAddresses(const std::wstring& software, const std::wstring& firmware);
    // Before the worker starts: the folder below which the staging folders are made ("<folder>\Tarvik
    // Kelvane\Updates\"). Empty, the built-in one: %ProgramData%.
    void SetStagingDataFolder(const std::wstring& folder);

    // Update worker: the update commands 3 to 8; false for any other id. Each check and update
    // leaves one line in the program's log.
    bool RunCommand(const UpdateCommand& command);
    // Asks the server which version of the kind it offers and compares it with the installed
    // program's (software) or the attached display's (firmware); posts kAvailable with the version
    // kept for the question, or kCurrent and kSwitchedOff unless silent. A failure is only logged.
    void Check(UpdateKind kind, bool silent);
    // Installs the version the user answered YES to, if the server still offers it: fetches the
    // version text again, downloads the archive into a fresh staging folder, checks its signature,
    // unpacks it there and starts its program, then ends the program (through the end hook); true
    // only then. Any failure is kept in LastFailure, removes the staging folder, posts kNotInstalled
    // and lets the program run on.
    bool RunUpdate(UpdateKind kind, const std::wstring& version);
    // Update worker: why the last RunUpdate failed; empty after one that did not.
    const UpdateFailure& LastFailure() const { return m_lastFailure; }

    // Window thread: WM_UPDATE_RESULT, wParam an UpdateKind (other values are ignored). Tells the
    // user, or asks and queues the download of the version asked about. Returns 0.
    LRESULT OnUpdateResult(WPARAM kind, LPARAM result);

    // What the last check of the kind found on the server (the last valid text for software).
    std::wstring LatestVersion(UpdateKind kind) const;
    static std::wstring CurrentVersion() { return TK_VERSION_WIDE; }

private:
    // What a version file held: the text as served and the version in it, or why there is none.
    struct VersionAnswer
    {
        std::wstring served;
        std::wstring version;
        UpdateFailure failure;
    };

    void Post(UpdateKind kind, LPARAM result);
    // Posts kAvailable and keeps the version it is about for the question.
    void PostAvailable(UpdateKind kind, const std::wstring& version);
    std::wstring BaseAddress(UpdateKind kind) const;
    VersionAnswer FetchVersion(const std::wstring& baseAddress);
    // Whether offered is newer than what is installed; installed gets that for the log line.
    bool IsNewerThanInstalled(UpdateKind kind, const std::wstring& offered, std::string& installed);
    UpdateFailure StartProgram(const std::wstring& path);
    // The steps of RunUpdate up to the start of the program.
    UpdateFailure Install(UpdateKind kind, const std::wstring& version, StagingFolder& staging);
    // The staged program's path once the signed archive is downloaded and unpacked.
    UpdateFailure StageUpdate(UpdateKind kind, const std::wstring& version, const std::wstring& served,
                              StagingFolder& staging, std::wstring& program);

    Hooks m_hooks; // set at construction, read-only after
    std::atomic<HWND> m_window{nullptr};
    CHttpTransfer m_download; // update worker only; its last progress carries over between downloads

    mutable std::mutex m_mutex; // guards the texts below: the worker writes them, the prompt reads them
    std::wstring m_softwareBase;
    std::wstring m_firmwareBase;
    std::wstring m_stagingDataFolder;
    std::wstring m_latestSoftware;
    std::wstring m_latestFirmware;
    std::wstring m_offeredSoftware; // the versions the last kAvailable of each kind was about
    std::wstring m_offeredFirmware;

    UpdateFailure m_lastFailure; // update worker only
};
