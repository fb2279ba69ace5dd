#include "app/platform/ProgramLog.h"

#include "app/platform/KernelHandle.h"
#include "app/platform/LogLine.h"

#include <windows.h>
#include <shlobj.h>

#include <mutex>

namespace
{
constexpr wchar_t kFileName[] = L"program.log";
constexpr wchar_t kOldFileName[] = L"program.1.log";
constexpr wchar_t kProgramFolderName[] = L"Tarvik Kelvane Files";
constexpr wchar_t kLogFolderName[] = L"Logs";

thread_local std::string t_threadName; // each thread its own

struct LogState
{
    std::mutex mutex;
    // Guarded by mutex; every writing thread.
    std::wstring folder;      // with a trailing backslash; empty while closed
    std::wstring folderFinal; // the folder as the file system names it, without the backslash
    KernelHandle file;
    unsigned long long size = 0;
    ULONGLONG retryAt = 0;
    unsigned long dropped = 0;
};

// Never destroyed: a thread may still write while the process ends.
LogState& State()
{
    static LogState* state = new LogState;
    return *state;
}

bool IsReparsePoint(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The path the file system gives for the handle, without "\\?\" and a trailing backslash.
std::wstring FinalPath(HANDLE handle)
{
    wchar_t buffer[1024] = {};
    const DWORD length =
        GetFinalPathNameByHandleW(handle, buffer, 1024, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= 1024)
        return {};
    std::wstring path(buffer, length);
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.compare(0, 4, L"\\\\?\\") == 0)
        path.erase(0, 4);
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}

// The final path of an existing folder that is no reparse point; empty otherwise.
std::wstring FinalFolderPath(const std::wstring& path)
{
    KernelHandle folder(CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!folder || !GetFileInformationByHandle(folder.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return {};
    return FinalPath(folder.get());
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The program may run elevated and the folder belongs to the user: a link planted as the log file
// (one the system flags, or one it only follows) must not turn a write into one elsewhere.
KernelHandle OpenPlainLogFile(const std::wstring& folderFinal, const std::wstring& path, DWORD access)
{
    KernelHandle file(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!file || !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        info.nNumberOfLinks != 1 || !SamePath(FinalPath(file.get()), folderFinal + L"\\" + kFileName))
        return KernelHandle();
    return file;
}

// Append-only, so every line lands at the end whoever else writes there; emptied first on request.
KernelHandle OpenLogFile(const std::wstring& folderFinal, const std::wstring& path, bool empty)
{
    if (empty)
    {
        KernelHandle file = OpenPlainLogFile(folderFinal, path, FILE_WRITE_DATA);
        FILE_END_OF_FILE_INFO end = {};
        if (!file || !SetFileInformationByHandle(file.get(), FileEndOfFileInfo, &end, sizeof(end)))
            return KernelHandle();
    }
    return OpenPlainLogFile(folderFinal, path, FILE_APPEND_DATA);
}

unsigned long long FileSize(HANDLE file)
{
    LARGE_INTEGER size = {};
    return GetFileSizeEx(file, &size) && size.QuadPart > 0 ? static_cast<unsigned long long>(size.QuadPart)
                                                           : 0;
}

void CloseForAWhile(LogState& state)
{
    state.file.reset();
    state.retryAt = GetTickCount64() + ProgramLog::kRetryMs;
}

// Called with the mutex held. A file that fails is closed and left alone for kRetryMs.
bool EnsureOpen(LogState& state)
{
    if (state.file)
        return true;
    if (state.folder.empty() || GetTickCount64() < state.retryAt)
        return false;
    state.file = OpenLogFile(state.folderFinal, state.folder + kFileName, false);
    if (!state.file)
    {
        CloseForAWhile(state);
        return false;
    }
    state.size = FileSize(state.file.get());
    return true;
}

// Called with the mutex held: the current file becomes the old one, and a new one starts. When the
// old one cannot be replaced (someone holds it open), the current one starts over instead: the
// bound on disk comes first.
bool Rotate(LogState& state)
{
    state.file.reset();
    const std::wstring current = state.folder + kFileName;
    const std::wstring old = state.folder + kOldFileName;
    const bool moved = !IsReparsePoint(current) && !IsReparsePoint(old) &&
                       MoveFileExW(current.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    state.file = OpenLogFile(state.folderFinal, current, !moved);
    if (!state.file)
    {
        CloseForAWhile(state);
        return false;
    }
    state.size = FileSize(state.file.get());
    return true;
}

// Called with the mutex held.
bool Append(LogState& state, const std::string& line)
{
    if (state.size + line.size() > ProgramLog::kRotateBytes && !Rotate(state))
        return false;
    DWORD written = 0;
    if (!WriteFile(state.file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size())
    {
        CloseForAWhile(state);
        return false;
    }
    state.size += written;
    return true;
}

long long Ticks(const FILETIME& time)
{
    return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                  time.dwLowDateTime);
}

LogTime Now()
{
    SYSTEMTIME utc = {};
    SYSTEMTIME local = {};
    GetSystemTime(&utc);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        local = utc;
    FILETIME utcFile = {};
    FILETIME localFile = {};
    SystemTimeToFileTime(&utc, &utcFile);
    SystemTimeToFileTime(&local, &localFile);
    constexpr long long kTicksPerMinute = 600000000LL;
    const long long difference = Ticks(localFile) - Ticks(utcFile);
    LogTime time;
    time.year = local.wYear;
    time.month = local.wMonth;
    time.day = local.wDay;
    time.hour = local.wHour;
    time.minute = local.wMinute;
    time.second = local.wSecond;
    time.millisecond = local.wMilliseconds;
    time.offsetMinutes = static_cast<int>(
        (difference + (difference < 0 ? -kTicksPerMinute : kTicksPerMinute) / 2) / kTicksPerMinute);
    return time;
}

std::string ThreadName()
{
    if (!t_threadName.empty())
        return t_threadName;
    return "thread-" + std::to_string(GetCurrentThreadId());
}
} // namespace

std::wstring ProgramLog::DefaultFolder()
{
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)) ||
        appData[0] == L'\0')
        return {};
    std::wstring folder = appData;
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + kProgramFolderName + L"\\" + kLogFolderName + L"\\";
}

bool ProgramLog::Open()
{
    const std::wstring folder = DefaultFolder();
    if (folder.empty())
        return false;
    // The two folders are the program's own: each must be what its parent holds under its name, not
    // a link to somewhere else. Where the user's own folder leads is the user's choice.
    const std::wstring programFolder = folder.substr(0, folder.size() - (std::size(kLogFolderName) - 1) - 1);
    const std::wstring appData =
        programFolder.substr(0, programFolder.size() - std::size(kProgramFolderName));
    CreateDirectoryW(programFolder.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring programFinal = FinalFolderPath(programFolder);
    if (!SamePath(programFinal, FinalFolderPath(appData) + L"\\" + kProgramFolderName) ||
        !SamePath(FinalFolderPath(folder), programFinal + L"\\" + kLogFolderName))
        return false;
    return Open(folder);
}

bool ProgramLog::Open(const std::wstring& folder)
{
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    const std::wstring final = path.empty() ? std::wstring() : FinalFolderPath(path);
    try
    {
        LogState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.file.reset();
        state.folder = final.empty() ? std::wstring() : path;
        state.folderFinal = final;
        state.retryAt = 0;
        state.dropped = 0;
        return !final.empty() && EnsureOpen(state);
    }
    catch (...)
    {
        return false;
    }
}

void ProgramLog::Close()
{
    try
    {
        LogState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.file.reset();
        state.folder.clear();
        state.folderFinal.clear();
    }
    catch (...)
    {
    }
}

std::wstring ProgramLog::Path()
{
    try
    {
        LogState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        return state.folder.empty() ? std::wstring() : state.folder + kFileName;
    }
    catch (...)
    {
        return {};
    }
}

void ProgramLog::Write(std::string_view event, std::string_view details) noexcept
{
    try
    {
        const LogTime time = Now();
        const std::string thread = ThreadName();
        const std::string line = FormatLogLine(time, thread, event, details);
        LogState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.folder.empty())
            return;
        if (!EnsureOpen(state))
        {
            ++state.dropped;
            return;
        }
        if (state.dropped > 0)
        {
            const std::string note =
                FormatLogLine(time, thread, "log-dropped", "lines=" + std::to_string(state.dropped));
            if (Append(state, note))
                state.dropped = 0;
        }
        if (!Append(state, line))
            ++state.dropped;
    }
    catch (...)
    {
    }
}

void ProgramLog::NameThisThread(std::string_view name) noexcept
{
    try
    {
        t_threadName.assign(name.substr(0, kMaxLogThreadBytes));
    }
    catch (...)
    {
    }
}
