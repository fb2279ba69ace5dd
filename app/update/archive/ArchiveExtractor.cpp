#include "app/update/archive/ArchiveExtractor.h"

#include "app/platform/KernelHandle.h"
#include "app/update/staging/ExtractedItems.h"
#include "app/update/staging/PlainPath.h"
#include "app/update/archive/ZipEntryAttributes.h"
#include "app/update/archive/ZipEntryName.h"
#include "app/update/archive/ZipEntryRanges.h"
#include "app/update/archive/ZipEntryTimes.h"
#include "app/update/archive/ZipHandleStream.h"
#include "base/UniqueHandle.h"

#include <unzip.h>

#include <list>
#include <optional>
#include <vector>

namespace
{
constexpr unsigned kChunkSize = 16384;
constexpr int kMaxNameLength = MAX_PATH;
constexpr unsigned long kUtf8NameFlag = 0x800;
// Traditional and strong encryption.
constexpr unsigned long kEncryptedFlags = 0x1 | 0x40;
constexpr std::uint64_t kLocalHeaderSize = 30;
constexpr unsigned long kStored = 0;

// An open archive, closed with unzClose.
struct ZipArchiveTraits
{
    using Handle = unzFile;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle zip) noexcept { unzClose(zip); }
};
using ZipArchive = UniqueHandle<ZipArchiveTraits>;

// Keeps the current entry open for reading and closes it once.
class OpenEntry
{
public:
    explicit OpenEntry(unzFile zip) : m_zip(zip), m_open(unzOpenCurrentFile(zip) == UNZ_OK) {}
    ~OpenEntry()
    {
        if (m_open)
            unzCloseCurrentFile(m_zip);
    }
    OpenEntry(const OpenEntry&) = delete;
    OpenEntry& operator=(const OpenEntry&) = delete;

    bool IsOpen() const { return m_open; }

private:
    unzFile m_zip;
    bool m_open;
};

// One entry as the central directory declares it, checked before anything is written.
struct PlannedEntry
{
    std::wstring relative;
    bool folder = false;
    ZipEntryAttributes attributes;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    unsigned long dosDate = 0;
    std::vector<unsigned char> centralExtra;
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

bool PlanCurrentEntry(unzFile zip, const ExtractionLimits& limits, PlannedEntry& entry, ZipEntryRange& range)
{
    unz_file_info64 info = {};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        info.size_filename == 0)
        return false;
    std::vector<char> rawName(info.size_filename);
    entry.centralExtra.resize(info.size_file_extra);
    if (unzGetCurrentFileInfo64(zip, &info, rawName.data(), rawName.size(), entry.centralExtra.data(),
                                entry.centralExtra.size(), nullptr, 0) != UNZ_OK)
        return false;
    if ((info.flag & kEncryptedFlags) != 0 ||
        (info.compression_method != kStored && info.compression_method != Z_DEFLATED) ||
        (info.compression_method == kStored && info.compressed_size != info.uncompressed_size) ||
        info.uncompressed_size > limits.maxEntryBytes)
        return false;
    const auto name = DecodeName(rawName, info.flag);
    const auto relative = name ? SafeZipEntryPath(*name) : std::nullopt;
    if (!relative)
        return false;
    entry.relative = *relative;
    entry.attributes = ZipEntryAttributes::Decode(info.version, info.external_fa);
    entry.folder = entry.attributes.directory || entry.relative.back() == L'\\';
    entry.size = info.uncompressed_size;
    entry.crc = static_cast<std::uint32_t>(info.crc);
    entry.dosDate = info.dosDate;

    // Where the entry really lies: the reader checks the local header against the central one.
    OpenEntry open(zip);
    if (!open.IsOpen())
        return false;
    const std::uint64_t dataStart = unzGetCurrentFileZStreamPos64(zip);
    const int localExtra = unzGetLocalExtrafield(zip, nullptr, 0);
    const std::uint64_t header = kLocalHeaderSize + info.size_filename + (localExtra > 0 ? localExtra : 0);
    if (localExtra < 0 || dataStart < header)
        return false;
    range.begin = dataStart - header;
    range.end = dataStart + info.compressed_size;
    return true;
}

bool PlanEntries(unzFile zip, const ExtractionLimits& limits, std::vector<PlannedEntry>& plan)
{
    unz_global_info64 global = {};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK || global.number_entry > limits.maxEntries)
        return false;
    std::vector<ZipEntryRange> ranges;
    std::uint64_t total = 0;
    int status = unzGoToFirstFile(zip);
    for (; status == UNZ_OK; status = unzGoToNextFile(zip))
    {
        PlannedEntry entry;
        ZipEntryRange range;
        if (plan.size() >= limits.maxEntries || !PlanCurrentEntry(zip, limits, entry, range))
            return false;
        total += entry.size;
        if (total > limits.maxTotalBytes)
            return false;
        plan.push_back(std::move(entry));
        ranges.push_back(range);
    }
    return status == UNZ_END_OF_LIST_OF_FILE && AreDisjoint(ranges);
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

ZipEntryTimes TimesOf(unzFile zip, const PlannedEntry& entry)
{
    ZipEntryTimes times = ZipEntryTimes::FromExtraField(entry.centralExtra.data(), entry.centralExtra.size());
    const int localSize = unzGetLocalExtrafield(zip, nullptr, 0);
    if (localSize > 0)
    {
        std::vector<unsigned char> localExtra(localSize);
        const int got = unzGetLocalExtrafield(zip, localExtra.data(), static_cast<unsigned>(localSize));
        if (got > 0)
            ApplyTimes(times,
                       ZipEntryTimes::FromExtraField(localExtra.data(), static_cast<std::size_t>(got)));
    }
    return times;
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

// Writes no more than the declared size and checks size and CRC-32 itself: the reader skips its own
// check when the data ends early.
bool CopyCheckedData(unzFile zip, HANDLE file, const PlannedEntry& entry)
{
    std::vector<char> chunk(kChunkSize);
    std::uint64_t written = 0;
    uLong crc = crc32(0, nullptr, 0);
    for (;;)
    {
        // One byte more than declared is asked for, so data that runs on is seen.
        const std::uint64_t room = entry.size - written + 1;
        const unsigned want = room < kChunkSize ? static_cast<unsigned>(room) : kChunkSize;
        const int read = unzReadCurrentFile(zip, chunk.data(), want);
        if (read < 0 || static_cast<std::uint64_t>(read) > entry.size - written)
            return false;
        if (read == 0)
            break;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(read));
        DWORD done = 0;
        if (!WriteFile(file, chunk.data(), static_cast<DWORD>(read), &done, nullptr) ||
            done != static_cast<DWORD>(read))
            return false;
        written += static_cast<std::uint64_t>(read);
    }
    return written == entry.size && crc == entry.crc;
}

bool WriteFileEntry(unzFile zip, const std::wstring& base, const PlannedEntry& entry, ExtractedItems& items)
{
    OpenEntry open(zip);
    if (!open.IsOpen())
        return false;
    const ZipEntryTimes times = TimesOf(zip, entry);
    const std::wstring target = base + entry.relative;
    KernelHandle file;
    if (!CreateNewPlainFile(target, GENERIC_WRITE, entry.attributes.ToFileAttributes(), file))
        return false;
    items.AddFile(target);
    if (!CopyCheckedData(zip, file.get(), entry))
        return false;
    SetEntryTimes(file.get(), entry.dosDate, times);
    return true;
}

bool WriteEntries(unzFile zip, const std::wstring& base, const std::vector<PlannedEntry>& plan,
                  ExtractedItems& items)
{
    std::size_t index = 0;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip), ++index)
    {
        if (index >= plan.size())
            return false;
        const PlannedEntry& entry = plan[index];
        if (entry.folder)
        {
            if (!items.EnsureFolders(base, entry.relative))
                return false;
            continue;
        }
        const std::size_t slash = entry.relative.rfind(L'\\');
        const std::wstring parent =
            slash == std::wstring::npos ? std::wstring() : entry.relative.substr(0, slash + 1);
        if (!items.EnsureFolders(base, parent) || !WriteFileEntry(zip, base, entry, items))
            return false;
    }
    return index == plan.size();
}
} // namespace

bool ExtractArchive(HANDLE archive, const std::wstring& folder, const ExtractionLimits& limits)
{
    if (archive == nullptr || archive == INVALID_HANDLE_VALUE)
        return false;
    ZipHandleStream stream(archive);
    const ZipArchive zip(unzOpen2_64("archive", stream.Functions()));
    if (!zip)
        return false;
    std::vector<PlannedEntry> plan;
    if (!PlanEntries(zip.get(), limits, plan))
        return false;

    std::wstring base = NormalisedPath(folder);
    std::list<KernelHandle> held;
    if (base.empty() || !OpenPlainFolderChain(base, held))
        return false;
    if (base.back() != L'\\')
        base += L'\\';
    ExtractedItems items;
    if (!WriteEntries(zip.get(), base, plan, items))
        return false;
    items.Keep();
    return true;
}
