#include "app/update/ArchiveExtractor.h"

#include "app/device/KernelHandle.h"
#include "app/update/FolderPath.h"
#include "app/update/ZipEntryAttributes.h"
#include "app/update/ZipEntryName.h"
#include "app/update/ZipEntryTimes.h"

#include <windows.h>

#include <unzip.h>
// after unzip.h, which brings the types it uses
#include <iowin32.h>

#include <optional>
#include <vector>

namespace
{
constexpr unsigned kChunkSize = 16384;
constexpr int kMaxNameLength = MAX_PATH;
constexpr unsigned long kUtf8NameFlag = 0x800;
constexpr unsigned long kEncryptedFlag = 0x1;

// Sole owner of an open archive.
class ZipArchive
{
public:
    explicit ZipArchive(const std::wstring& path)
    {
        zlib_filefunc64_def functions;
        fill_win32_filefunc64W(&functions);
        m_zip = unzOpen2_64(path.c_str(), &functions);
    }
    ~ZipArchive()
    {
        if (m_zip != nullptr)
            unzClose(m_zip);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    unzFile Get() const { return m_zip; }

private:
    unzFile m_zip = nullptr;
};

// Keeps the current entry open for reading and closes it once; Finish reports the CRC check.
class OpenEntry
{
public:
    explicit OpenEntry(unzFile zip) : m_zip(zip), m_open(unzOpenCurrentFile(zip) == UNZ_OK) {}
    ~OpenEntry() { Finish(); }
    OpenEntry(const OpenEntry&) = delete;
    OpenEntry& operator=(const OpenEntry&) = delete;

    bool IsOpen() const { return m_open; }
    bool Finish()
    {
        if (!m_open)
            return false;
        m_open = false;
        return unzCloseCurrentFile(m_zip) == UNZ_OK;
    }

private:
    unzFile m_zip;
    bool m_open;
};

std::optional<std::wstring> DecodeName(const std::vector<char>& raw, unsigned long flags)
{
    const UINT codePage = (flags & kUtf8NameFlag) != 0 ? CP_UTF8 : CP_ACP;
    wchar_t name[kMaxNameLength + 1] = {};
    const int length =
        MultiByteToWideChar(codePage, 0, raw.data(), static_cast<int>(raw.size()), name, kMaxNameLength);
    if (length <= 0)
        return std::nullopt;
    return std::wstring(name, length);
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full;
}

// The file system's own reading of the path must still lie below the base folder.
bool IsInsideFolder(const std::wstring& fullBase, const std::wstring& target)
{
    const std::wstring full = FullPath(target);
    if (fullBase.empty() || full.size() <= fullBase.size())
        return false;
    return CompareStringOrdinal(full.c_str(), static_cast<int>(fullBase.size()), fullBase.c_str(),
                                static_cast<int>(fullBase.size()), TRUE) == CSTR_EQUAL;
}

void CreateFoldersAlong(const std::wstring& base, const std::wstring& relative)
{
    CreateFolderPath(base);
    for (auto slash = relative.find(L'\\'); slash != std::wstring::npos;
         slash = relative.find(L'\\', slash + 1))
        CreateDirectoryW((base + relative.substr(0, slash)).c_str(), nullptr);
}

FILETIME ToFileTime(std::uint64_t ticks)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

void ApplyTimes(ZipEntryTimes& target, const ZipEntryTimes& source)
{
    if (source.lastWrite)
        target.lastWrite = source.lastWrite;
    if (source.lastAccess)
        target.lastAccess = source.lastAccess;
    if (source.creation)
        target.creation = source.creation;
}

void SetEntryTimes(HANDLE file, unsigned long dosDate, const ZipEntryTimes& extended)
{
    FILETIME local = {};
    FILETIME utc = {};
    if (!DosDateTimeToFileTime(HIWORD(dosDate), LOWORD(dosDate), &local) ||
        !LocalFileTimeToFileTime(&local, &utc))
        utc = {};
    FILETIME creation = extended.creation ? ToFileTime(*extended.creation) : utc;
    FILETIME access = extended.lastAccess ? ToFileTime(*extended.lastAccess) : utc;
    FILETIME write = extended.lastWrite ? ToFileTime(*extended.lastWrite) : utc;
    SetFileTime(file, &creation, &access, &write);
}

bool CopyEntryData(unzFile zip, HANDLE file)
{
    std::vector<char> chunk(kChunkSize);
    for (;;)
    {
        const int read = unzReadCurrentFile(zip, chunk.data(), kChunkSize);
        if (read < 0)
            return false;
        if (read == 0)
            return true;
        DWORD written = 0;
        if (!WriteFile(file, chunk.data(), static_cast<DWORD>(read), &written, nullptr) ||
            written != static_cast<DWORD>(read))
            return false;
    }
}

void RemoveFile(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

void ExtractFile(unzFile zip, const std::wstring& target, const ZipEntryAttributes& attributes,
                 const unz_file_info64& info, const std::vector<unsigned char>& centralExtra)
{
    OpenEntry entry(zip);
    if (!entry.IsOpen())
        return;
    ZipEntryTimes times = ZipEntryTimes::FromExtraField(centralExtra.data(), centralExtra.size());
    const int localSize = unzGetLocalExtrafield(zip, nullptr, 0);
    if (localSize > 0)
    {
        std::vector<unsigned char> localExtra(localSize);
        const int got = unzGetLocalExtrafield(zip, localExtra.data(), static_cast<unsigned>(localSize));
        if (got > 0)
            ApplyTimes(times,
                       ZipEntryTimes::FromExtraField(localExtra.data(), static_cast<std::size_t>(got)));
    }

    // A read-only file in the way stays as it is, whether or not the file system would let it go.
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0)
        return;
    KernelHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  attributes.ToFileAttributes(), nullptr));
    if (!file.IsValid())
        return;
    // A truncated or corrupt file must not be left where the installer is looked for.
    if (!CopyEntryData(zip, file.Get()) || !entry.Finish())
    {
        file.Reset();
        RemoveFile(target);
        return;
    }
    SetEntryTimes(file.Get(), info.dosDate, times);
}

void ExtractCurrentEntry(unzFile zip, const std::wstring& base, const std::wstring& fullBase)
{
    unz_file_info64 info = {};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        info.size_filename == 0)
        return;
    std::vector<char> rawName(info.size_filename);
    std::vector<unsigned char> centralExtra(info.size_file_extra);
    if (unzGetCurrentFileInfo64(zip, &info, rawName.data(), rawName.size(), centralExtra.data(),
                                centralExtra.size(), nullptr, 0) != UNZ_OK)
        return;

    // Encrypted entries cannot be read without a password.
    if ((info.flag & kEncryptedFlag) != 0)
        return;
    const auto name = DecodeName(rawName, info.flag);
    if (!name)
        return;
    const auto relative = SafeZipEntryPath(*name);
    if (!relative)
        return;
    const ZipEntryAttributes attributes = ZipEntryAttributes::Decode(info.version, info.external_fa);
    const bool folder = attributes.directory || relative->back() == L'\\';
    std::wstring target = base + *relative;
    if (target.back() == L'\\')
        target.pop_back();
    if (!IsInsideFolder(fullBase, target))
        return;

    if (folder)
    {
        CreateFoldersAlong(base, *relative + L"\\");
        return;
    }
    CreateFoldersAlong(base, *relative);
    ExtractFile(zip, target, attributes, info, centralExtra);
}
} // namespace

bool ExtractArchive(const std::wstring& archivePath, const std::wstring& folder)
{
    ZipArchive archive(archivePath);
    if (archive.Get() == nullptr)
        return false;

    std::wstring base = folder;
    if (base.empty() || (base.back() != L'\\' && base.back() != L'/'))
        base += L'\\';
    std::wstring fullBase = FullPath(base);
    if (!fullBase.empty() && fullBase.back() != L'\\')
        fullBase += L'\\';

    for (int status = unzGoToFirstFile(archive.Get()); status == UNZ_OK;
         status = unzGoToNextFile(archive.Get()))
        ExtractCurrentEntry(archive.Get(), base, fullBase);
    return true;
}
