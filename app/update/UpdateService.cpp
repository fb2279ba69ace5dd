#include "app/update/UpdateService.h"

#include "app/core/ProgramTitle.h"
#include "app/device/WorkerCommands.h"
#include "app/update/ArchiveExtractor.h"
#include "app/update/FolderPath.h"
#include "app/update/UpdateServerAddress.h"
#include "app/update/VersionText.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>

namespace
{
struct KindNames
{
    const wchar_t* archivePrefix;
    const wchar_t* titleSuffix;
    const wchar_t* latestText;
};

const KindNames& NamesOf(WPARAM kind)
{
    static const KindNames software{L"Software-", L" Software Updates",
                                    L"The software is the latest version!"};
    static const KindNames firmware{L"FirmwareUpdateTool-", L" Firmware Updates",
                                    L"The Firmware is the latest version!"};
    return kind == CUpdateService::kFirmware ? firmware : software;
}

std::wstring TitleOf(WPARAM kind)
{
    return std::wstring(kProgramTitle) + NamesOf(kind).titleSuffix;
}

void RemoveFile(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
} // namespace

CUpdateService::CUpdateService(Hooks hooks)
    : m_hooks(std::move(hooks)), m_softwareBase(UpdateServerHost() + L"/q17x/software/"),
      m_firmwareBase(UpdateServerHost() + L"/q17x/firmware/"), m_workFolder(DefaultWorkFolder())
{
}

void CUpdateService::SetBaseAddresses(const std::wstring& software, const std::wstring& firmware)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_softwareBase = software;
    m_firmwareBase = firmware;
}

void CUpdateService::SetWorkFolder(const std::wstring& folder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_workFolder = folder;
}

std::wstring CUpdateService::DefaultWorkFolder()
{
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData);
    return std::wstring(appData) + L"\\" + kProgramTitle + L" Files\\";
}

std::wstring CUpdateService::TempFolder() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_workFolder + L"\\temp\\";
}

std::wstring CUpdateService::LatestVersion(WPARAM kind) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return kind == kFirmware ? m_latestFirmware : m_latestSoftware;
}

bool CUpdateService::RunCommand(int command)
{
    switch (command)
    {
    case CMD_CHECK_SOFTWARE:
    case CMD_CHECK_SOFTWARE_SILENT:
        CheckSoftware(command == CMD_CHECK_SOFTWARE_SILENT);
        return true;
    case CMD_CHECK_FIRMWARE:
    case CMD_CHECK_FIRMWARE_SILENT:
        CheckFirmware(command == CMD_CHECK_FIRMWARE_SILENT);
        return true;
    case CMD_UPDATE_SOFTWARE:
        RunUpdate(kSoftware);
        return true;
    case CMD_UPDATE_FIRMWARE:
        RunUpdate(kFirmware);
        return true;
    default:
        return false;
    }
}

std::wstring CUpdateService::FetchVersionText(const std::wstring& baseAddress)
{
    std::wstring text;
    CHttpTransfer transfer;
    transfer.GetText(baseAddress + L"version", text);
    // The text names files the program writes and starts: only a plain version text is taken.
    text = TrimLineBreaks(text);
    return IsUsableVersionText(text) ? text : std::wstring();
}

void CUpdateService::CheckSoftware(bool silent)
{
    std::wstring base;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        base = m_softwareBase;
    }
    const std::wstring latest = FetchVersionText(base);
    if (latest.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_latestSoftware = latest;
    }
    const bool available = CompareVersions(CurrentVersion(), latest) >= 1;
    if (available || !silent)
        Post(kSoftware, available ? kAvailable : kCurrent);
}

void CUpdateService::CheckFirmware(bool silent)
{
    std::wstring base;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_latestFirmware.clear();
        base = m_firmwareBase;
    }
    const std::wstring latest = FetchVersionText(base);
    if (latest.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_latestFirmware = latest;
    }
    int version = -1;
    if (m_hooks.readFirmwareVersion)
        m_hooks.readFirmwareVersion(version);
    const bool available = IsFirmwareUpdateAvailable(version, latest);
    if (available || !silent)
        Post(kFirmware, available ? kAvailable : kCurrent);
}

bool CUpdateService::RunUpdate(WPARAM kind)
{
    std::wstring base;
    std::wstring work;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        base = kind == kFirmware ? m_firmwareBase : m_softwareBase;
        work = m_workFolder;
    }
    const std::wstring latest = LatestVersion(kind);
    if (latest.empty())
    {
        Post(kind, kNotInstalled);
        return false;
    }
    const std::wstring prefix = NamesOf(kind).archivePrefix;
    const std::wstring archiveName = prefix + latest + L".zip";
    const std::wstring programName = prefix + latest + L".exe";
    const std::wstring url = base + L"//" + archiveName;
    const std::wstring tempFolder = work + L"\\temp\\";
    const std::wstring archivePath = work + L"\\temp\\" + archiveName;
    const std::wstring programPath = work + L"\\temp\\" + programName;

    CreateFolderPath(tempFolder);
    RemoveFile(archivePath);
    // A program file left by an earlier attempt must not pass for this one.
    RemoveFile(programPath);

    if (m_download.DownloadFile(url, archivePath, m_window.load()) != 1 || !FileExists(archivePath))
    {
        RemoveFile(archivePath);
        Post(kind, kNotInstalled);
        return false;
    }
    if (ExtractArchive(archivePath, tempFolder))
        RemoveFile(archivePath);
    if (!FileExists(programPath) || !StartProgram(programPath))
    {
        Post(kind, kNotInstalled);
        return false;
    }
    if (m_hooks.endProgram)
        m_hooks.endProgram();
    else
        std::exit(0);
    return true;
}

bool CUpdateService::StartProgram(const std::wstring& path)
{
    if (m_hooks.startProgram)
        return m_hooks.startProgram(path);
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW));
    return result > 32;
}

void CUpdateService::Post(WPARAM kind, LPARAM result)
{
    const HWND window = m_window.load();
    if (window != nullptr)
        PostMessageW(window, kResultMessage, kind, result);
}

LRESULT CUpdateService::OnUpdateResult(WPARAM kind, LPARAM result)
{
    if ((kind != kSoftware && kind != kFirmware) || !m_hooks.askUser)
        return 0;
    const std::wstring title = TitleOf(kind);
    if (result == kCurrent)
    {
        m_hooks.askUser(NamesOf(kind).latestText, title, false);
        return 0;
    }
    if (result == kNotInstalled)
    {
        m_hooks.askUser(L"The update could not be installed.", title, false);
        return 0;
    }
    const std::wstring text = L"Detected the latest version:v" + LatestVersion(kind) + L", update now?";
    if (m_hooks.askUser(text, title, true) == 1 && m_hooks.appendCommand)
        m_hooks.appendCommand(kind == kFirmware ? CMD_UPDATE_FIRMWARE : CMD_UPDATE_SOFTWARE);
    return 0;
}
