#include "app/update/UpdateService.h"

#include "app/core/ProgramTitle.h"
#include "app/device/WorkerCommands.h"
#include "app/update/ArchiveExtractor.h"
#include "app/update/ArchiveVerification.h"
#include "app/update/UpdateServerAddress.h"
#include "app/update/UpdateSignature.h"
#include "app/update/VersionText.h"

#include <shellapi.h>

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

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
} // namespace

CUpdateService::CUpdateService(Hooks hooks)
    : m_hooks(std::move(hooks)), m_softwareBase(UpdateServerHost() + L"/q17x/software/"),
      m_firmwareBase(UpdateServerHost() + L"/q17x/firmware/")
{
}

void CUpdateService::SetBaseAddresses(const std::wstring& software, const std::wstring& firmware)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_softwareBase = software;
    m_firmwareBase = firmware;
}

void CUpdateService::SetStagingDataFolder(const std::wstring& folder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stagingDataFolder = folder;
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

std::wstring CUpdateService::FetchVersionText(const std::wstring& baseAddress, std::wstring& served)
{
    served.clear();
    CHttpTransfer transfer;
    if (transfer.GetText(baseAddress + L"version", served) != 1)
        return {};
    // The text names files the program writes and starts: only a version by the rule is taken.
    const std::wstring text = TrimLineBreaks(served);
    return ParseVersion(text) ? text : std::wstring();
}

void CUpdateService::CheckSoftware(bool silent)
{
    if (!UpdatesEnabled())
    {
        if (!silent)
            Post(kSoftware, kSwitchedOff);
        return;
    }
    std::wstring base;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        base = m_softwareBase;
    }
    std::wstring served;
    const std::wstring latest = FetchVersionText(base, served);
    if (latest.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_latestSoftware = latest;
        m_servedSoftware = served;
    }
    const bool available = IsNewerVersion(CurrentVersion(), latest);
    if (available || !silent)
        Post(kSoftware, available ? kAvailable : kCurrent);
}

void CUpdateService::CheckFirmware(bool silent)
{
    if (!UpdatesEnabled())
    {
        if (!silent)
            Post(kFirmware, kSwitchedOff);
        return;
    }
    std::wstring base;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_latestFirmware.clear();
        m_servedFirmware.clear();
        base = m_firmwareBase;
    }
    std::wstring served;
    const std::wstring latest = FetchVersionText(base, served);
    if (latest.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_latestFirmware = latest;
        m_servedFirmware = served;
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
    std::wstring latest;
    std::wstring served;
    std::wstring dataFolder;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        latest = kind == kFirmware ? m_latestFirmware : m_latestSoftware;
        served = kind == kFirmware ? m_servedFirmware : m_servedSoftware;
        dataFolder = m_stagingDataFolder;
    }
    if (!UpdatesEnabled() || latest.empty())
    {
        Post(kind, UpdatesEnabled() ? kNotInstalled : kSwitchedOff);
        return false;
    }
    CStagingFolder staging;
    const bool created = dataFolder.empty() ? CStagingFolder::Create(staging)
                                            : CStagingFolder::CreateBelow(dataFolder, staging);
    const std::wstring program = created ? StageUpdate(kind, latest, served, staging) : std::wstring();
    if (program.empty() || !StartProgram(program))
    {
        if (created)
            staging.Remove();
        Post(kind, kNotInstalled);
        return false;
    }
    // The folder stays: the installer runs from it. The next start of the program removes it.
    if (m_hooks.endProgram)
        m_hooks.endProgram();
    else
        std::exit(0);
    return true;
}

std::wstring CUpdateService::StageUpdate(WPARAM kind, const std::wstring& version, const std::wstring& served,
                                         CStagingFolder& staging)
{
    std::wstring base;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        base = kind == kFirmware ? m_firmwareBase : m_softwareBase;
    }
    const std::wstring prefix = NamesOf(kind).archivePrefix;
    const std::wstring archiveName = prefix + version + L".zip";
    const std::wstring url = base + L"//" + archiveName;

    // One handle from download to extraction: the bytes checked are the bytes unpacked, whatever
    // another process does to the name meanwhile.
    KernelHandle archive = staging.CreateNewFile(archiveName);
    if (!archive)
        return {};
    if (m_download.DownloadTo(url, archive.get(), m_window.load(), kMaxArchiveBytes) != 1)
        return {};
    std::string signature;
    CHttpTransfer signatureTransfer;
    if (signatureTransfer.GetBytes(url + L".sig", signature, kMaxSignatureBytes) != 1)
        return {};
    const int kindNumber = kind == kFirmware ? static_cast<int>(kFirmware) : static_cast<int>(kSoftware);
    // The signature binds the version text as the server sent it, line break and all.
    if (!VerifyArchiveFile(kindNumber, served, archive.get(), signature))
        return {};
    if (!ExtractArchive(archive.get(), staging.Path()))
        return {};
    archive.reset();
    DeleteFileW((staging.Path() + archiveName).c_str());

    const std::wstring program = staging.Path() + prefix + version + L".exe";
    return FileExists(program) ? program : std::wstring();
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
        PostMessageW(window, WM_UPDATE_RESULT, kind, result);
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
    if (result == kSwitchedOff)
    {
        m_hooks.askUser(L"Updates are switched off in this build.", title, false);
        return 0;
    }
    const std::wstring text = L"Detected the latest version:v" + LatestVersion(kind) + L", update now?";
    if (m_hooks.askUser(text, title, true) == 1 && m_hooks.appendCommand)
        m_hooks.appendCommand(kind == kFirmware ? CMD_UPDATE_FIRMWARE : CMD_UPDATE_SOFTWARE);
    return 0;
}
