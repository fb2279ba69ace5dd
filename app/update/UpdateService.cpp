#include "app/update/UpdateService.h"

#include "app/core/ProgramTitle.h"
#include "app/device/WorkerCommands.h"
#include "app/platform/LogLine.h"
#include "app/platform/ProgramLog.h"
#include "app/update/archive/ArchiveExtractor.h"
#include "app/update/trust/ArchiveVerification.h"
#include "app/update/UpdateServerAddress.h"
#include "app/update/trust/UpdateSignature.h"
#include "app/update/VersionText.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

namespace
{
struct KindNames
{
    const wchar_t* archivePrefix;
    const wchar_t* titleSuffix;
    const wchar_t* latestText;
    const char* logName;
};

const KindNames& NamesOf(UpdateKind kind)
{
    static const KindNames software{L"Software-", L" Software Updates",
                                    L"The software is the latest version!", "software"};
    static const KindNames firmware{L"FirmwareUpdateTool-", L" Firmware Updates",
                                    L"The Firmware is the latest version!", "firmware"};
    return kind == UpdateKind::Firmware ? firmware : software;
}

std::wstring TitleOf(UpdateKind kind)
{
    return std::wstring(kProgramTitle) + NamesOf(kind).titleSuffix;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A server's text inside a detail: short, and escaped by the log.
std::string Quoted(const std::wstring& text)
{
    return "\"" + LogUtf8(text.substr(0, 32)) + (text.size() > 32 ? "...\"" : "\"");
}

std::string KindDetails(UpdateKind kind)
{
    return std::string("kind=") + NamesOf(kind).logName;
}

void LogCheck(UpdateKind kind, bool silent, const std::string& outcome)
{
    ProgramLog::Write("update-check",
                      KindDetails(kind) + (silent ? " silent=yes " : " silent=no ") + outcome);
}
} // namespace

UpdateService::UpdateService(Hooks hooks)
    : m_hooks(std::move(hooks)), m_softwareBase(UpdateServerHost() + L"/q17x/software/"),
      m_firmwareBase(UpdateServerHost() + L"/q17x/firmware/")
{
}

void UpdateService::SetBaseAddresses(const std::wstring& software, const std::wstring& firmware)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_softwareBase = software;
    m_firmwareBase = firmware;
}

void UpdateService::SetStagingDataFolder(const std::wstring& folder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stagingDataFolder = folder;
}

std::wstring UpdateService::LatestVersion(UpdateKind kind) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return kind == UpdateKind::Firmware ? m_latestFirmware : m_latestSoftware;
}

std::wstring UpdateService::BaseAddress(UpdateKind kind) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return kind == UpdateKind::Firmware ? m_firmwareBase : m_softwareBase;
}

bool UpdateService::RunCommand(const UpdateCommand& command)
{
    switch (command.id)
    {
    case CMD_CHECK_SOFTWARE:
    case CMD_CHECK_SOFTWARE_SILENT:
        Check(UpdateKind::Software, command.id == CMD_CHECK_SOFTWARE_SILENT);
        return true;
    case CMD_CHECK_FIRMWARE:
    case CMD_CHECK_FIRMWARE_SILENT:
        Check(UpdateKind::Firmware, command.id == CMD_CHECK_FIRMWARE_SILENT);
        return true;
    case CMD_UPDATE_SOFTWARE:
        RunUpdate(UpdateKind::Software, command.version);
        return true;
    case CMD_UPDATE_FIRMWARE:
        RunUpdate(UpdateKind::Firmware, command.version);
        return true;
    default:
        return false;
    }
}

UpdateService::VersionAnswer UpdateService::FetchVersion(const std::wstring& baseAddress)
{
    VersionAnswer answer;
    CHttpTransfer transfer;
    if (transfer.GetText(baseAddress + L"version", answer.served) != 1)
    {
        answer.failure = HttpStepFailure(UpdateStep::VersionText, transfer.LastError());
        return answer;
    }
    // The text names files the program writes and starts: only a version by the rule is taken.
    const std::wstring text = TrimLineBreaks(answer.served);
    if (!ParseVersion(text))
    {
        answer.failure = StepFailure(UpdateStep::VersionText, "not a version: " + Quoted(text));
        answer.failure.httpStatus = 200;
        return answer;
    }
    answer.version = text;
    return answer;
}

void UpdateService::Check(UpdateKind kind, bool silent)
{
    if (!UpdatesEnabled())
    {
        LogCheck(kind, silent, "result=switched-off");
        if (!silent)
            Post(kind, kSwitchedOff);
        return;
    }
    // A firmware check forgets the last one's text: the display asked about may have changed. The
    // software keeps its last valid text.
    if (kind == UpdateKind::Firmware)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_latestFirmware.clear();
    }
    const VersionAnswer answer = FetchVersion(BaseAddress(kind));
    if (answer.failure)
    {
        LogCheck(kind, silent, "result=failed " + DescribeUpdateFailure(answer.failure));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        (kind == UpdateKind::Firmware ? m_latestFirmware : m_latestSoftware) = answer.version;
    }
    std::string installed;
    const bool available = IsNewerThanInstalled(kind, answer.version, installed);
    LogCheck(kind, silent,
             "http=200 offered=" + LogUtf8(answer.version) + installed +
                 (available ? " result=available" : " result=current"));
    if (available)
        PostAvailable(kind, answer.version);
    else if (!silent)
        Post(kind, kCurrent);
}

bool UpdateService::IsNewerThanInstalled(UpdateKind kind, const std::wstring& offered, std::string& installed)
{
    if (kind == UpdateKind::Software)
    {
        installed = " installed=" + LogUtf8(CurrentVersion());
        return IsNewerVersion(CurrentVersion(), offered);
    }
    int version = -1;
    if (m_hooks.readFirmwareVersion)
        m_hooks.readFirmwareVersion(version);
    installed = " display=" + (version < 0 ? std::string("none") : LogUtf8(FirmwareVersionText(version)));
    return IsFirmwareUpdateAvailable(version, offered);
}

bool UpdateService::RunUpdate(UpdateKind kind, const std::wstring& version)
{
    const std::string what = KindDetails(kind) + " version=" + Quoted(version);
    m_lastFailure = {};
    if (!UpdatesEnabled())
    {
        ProgramLog::Write("update", what + " result=switched-off");
        Post(kind, kSwitchedOff);
        return false;
    }
    StagingFolder staging;
    m_lastFailure = Install(kind, version, staging);
    if (m_lastFailure)
    {
        ProgramLog::Write("update", what + " result=failed " + DescribeUpdateFailure(m_lastFailure));
        if (!staging.Path().empty())
            staging.Remove();
        Post(kind, kNotInstalled);
        return false;
    }
    ProgramLog::Write("update", what + " result=installer-started");
    // The folder stays: the installer runs from it. The next start of the program removes it.
    if (m_hooks.endProgram)
        m_hooks.endProgram();
    else
        std::exit(0);
    return true;
}

UpdateFailure UpdateService::Install(UpdateKind kind, const std::wstring& version, StagingFolder& staging)
{
    // Only what the user was asked about is installed, and only while the server still offers it:
    // the signature binds the version text as the server sends it now.
    if (!ParseVersion(version))
        return StepFailure(UpdateStep::VersionText, "no version answered");
    if (kind == UpdateKind::Software && !IsNewerVersion(CurrentVersion(), version))
        return StepFailure(UpdateStep::VersionText, "not newer than the installed version");
    const VersionAnswer answer = FetchVersion(BaseAddress(kind));
    if (answer.failure)
        return answer.failure;
    if (answer.version != version)
    {
        UpdateFailure failure =
            StepFailure(UpdateStep::VersionText, "server now offers " + Quoted(answer.version));
        failure.httpStatus = 200;
        return failure;
    }

    std::wstring dataFolder;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        dataFolder = m_stagingDataFolder;
    }
    const bool created =
        dataFolder.empty() ? StagingFolder::Create(staging) : StagingFolder::CreateBelow(dataFolder, staging);
    if (!created)
        return StepFailure(UpdateStep::Staging, "folder not made", GetLastError());
    std::wstring program;
    if (UpdateFailure failure = StageUpdate(kind, version, answer.served, staging, program))
        return failure;
    return StartProgram(program);
}

UpdateFailure UpdateService::StageUpdate(UpdateKind kind, const std::wstring& version,
                                         const std::wstring& served, StagingFolder& staging,
                                         std::wstring& program)
{
    const std::wstring prefix = NamesOf(kind).archivePrefix;
    const std::wstring archiveName = prefix + version + L".zip";
    const std::wstring url = BaseAddress(kind) + L"//" + archiveName;

    // One handle from download to extraction: the bytes checked are the bytes unpacked, whatever
    // another process does to the name meanwhile.
    KernelHandle archive = staging.CreateNewFile(archiveName);
    if (!archive)
        return StepFailure(UpdateStep::Staging, "archive file not made", GetLastError());
    if (m_download.DownloadTo(url, archive.get(), m_window.load(), kMaxArchiveBytes) != 1)
        return HttpStepFailure(UpdateStep::Download, m_download.LastError());
    std::string signature;
    CHttpTransfer signatureTransfer;
    if (signatureTransfer.GetBytes(url + L".sig", signature, kMaxSignatureBytes) != 1)
        return HttpStepFailure(UpdateStep::SignatureFile, signatureTransfer.LastError());
    if (signature.size() != kUpdateSignatureSize)
        return StepFailure(UpdateStep::Signature, std::to_string(signature.size()) + " bytes, not 64");
    // The signature binds the version text as the server sent it, line break and all.
    if (!VerifyArchiveFile(kind, served, archive.get(), signature))
        return StepFailure(UpdateStep::Signature, "does not hold for this archive, kind and version");
    if (!ExtractArchive(archive.get(), staging.Path()))
        return StepFailure(UpdateStep::Extract, "archive refused");
    archive.reset();
    DeleteFileW((staging.Path() + archiveName).c_str());

    program = staging.Path() + prefix + version + L".exe";
    if (!FileExists(program))
        return StepFailure(UpdateStep::Installer,
                           "not in the archive: " + LogUtf8(prefix + version + L".exe"));
    return {};
}

UpdateFailure UpdateService::StartProgram(const std::wstring& path)
{
    if (m_hooks.startProgram)
        return m_hooks.startProgram(path) ? UpdateFailure{}
                                          : StepFailure(UpdateStep::Installer, "not started");
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW));
    if (result > 32)
        return {};
    return StepFailure(UpdateStep::Installer, "not started", GetLastError());
}

void UpdateService::Post(UpdateKind kind, LPARAM result)
{
    const HWND window = m_window.load();
    if (window != nullptr)
        PostMessageW(window, WM_UPDATE_RESULT, static_cast<WPARAM>(kind), result);
}

void UpdateService::PostAvailable(UpdateKind kind, const std::wstring& version)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        (kind == UpdateKind::Firmware ? m_offeredFirmware : m_offeredSoftware) = version;
    }
    Post(kind, kAvailable);
}

LRESULT UpdateService::OnUpdateResult(WPARAM kindValue, LPARAM result)
{
    if ((kindValue != static_cast<WPARAM>(UpdateKind::Software) &&
         kindValue != static_cast<WPARAM>(UpdateKind::Firmware)) ||
        !m_hooks.askUser)
        return 0;
    const auto kind = static_cast<UpdateKind>(kindValue);
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
    std::wstring version;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        version = kind == UpdateKind::Firmware ? m_offeredFirmware : m_offeredSoftware;
    }
    if (version.empty())
        return 0;
    // The command carries the version shown, whatever a later check finds.
    const std::wstring text = L"Detected the latest version:v" + version + L", update now?";
    const bool yes = m_hooks.askUser(text, title, true) == 1;
    ProgramLog::Write("update-answer", KindDetails(kind) + " version=" + Quoted(version) +
                                           (yes ? " answer=yes" : " answer=no"));
    if (yes && m_hooks.appendCommand)
        m_hooks.appendCommand(
            {kind == UpdateKind::Firmware ? CMD_UPDATE_FIRMWARE : CMD_UPDATE_SOFTWARE, version});
    return 0;
}
