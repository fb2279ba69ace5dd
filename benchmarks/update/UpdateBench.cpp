// Times the update path's heavy steps, for comparison with curl and unzip on the same inputs and of
// the signature check against the download:
//   update_bench download <url> <file> <runs>
//   update_bench extract <archive> <data folder> <runs>
//       as the update does it: a staging folder below the data folder (the program uses %ProgramData%),
//       the archive written into a new file there (as the download writes it; not timed), then unpacked
//       from that same handle. Every run's folder is removed but the last one's, which is left for
//       comparison at "<data folder>\Tarvik Kelvane\Updates\{...}\".
//   update_bench verify <archive> <unused> <runs>   (signs once with the build's key, then checks)
// Prints one line per run: "<step> <milliseconds>".
#include "app/platform/KernelHandle.h"
#include "app/update/UpdateService.h"
#include "app/update/archive/ArchiveExtractor.h"
#include "app/update/http/CHttpTransfer.h"
#include "app/update/staging/StagingFolder.h"
#include "app/update/trust/ArchiveVerification.h"
#include "tests/app/update/TestUpdateSigner.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace
{
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// The archive into a file created at path, written through its handle as the update does.
bool DownloadToPath(const wchar_t* url, const wchar_t* path)
{
    KernelHandle file(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && CHttpTransfer().DownloadTo(url, file.get(), nullptr, UpdateService::kMaxArchiveBytes) == 1;
}

std::wstring FileNameOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The archive's bytes into a new file of the staging folder, as the download leaves it: the handle
// open for reading and writing, its file pointer at the end.
KernelHandle WriteIntoStaging(const wchar_t* archivePath, const StagingFolder& staging)
{
    KernelHandle source(
        CreateFileW(archivePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!source)
        return {};
    KernelHandle copy = staging.CreateNewFile(FileNameOf(archivePath));
    std::vector<char> buffer(1 << 20);
    DWORD read = 0;
    while (copy && ReadFile(source.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
           read > 0)
    {
        DWORD written = 0;
        if (!WriteFile(copy.get(), buffer.data(), read, &written, nullptr) || written != read)
            return {};
    }
    return copy;
}

// One run of the update's extraction; ms is the time ExtractArchive took.
bool ExtractAsTheUpdate(const wchar_t* archivePath, const std::wstring& dataFolder, bool keep, double& ms)
{
    StagingFolder staging;
    if (!StagingFolder::CreateBelow(dataFolder, staging))
    {
        std::fprintf(stderr, "no staging folder below %ls\n", dataFolder.c_str());
        return false;
    }
    KernelHandle archive = WriteIntoStaging(archivePath, staging);
    bool ok = static_cast<bool>(archive);
    if (ok)
    {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        ok = ExtractArchive(archive.get(), staging.Path());
        QueryPerformanceCounter(&end);
        ms = Milliseconds(start, end);
    }
    else
    {
        std::fprintf(stderr, "cannot copy %ls into %ls\n", archivePath, staging.Path().c_str());
    }
    // Then, as the update: the archive goes, the unpacked files stay.
    archive.reset();
    DeleteFileW((staging.Path() + FileNameOf(archivePath)).c_str());
    if (!ok || !keep)
        staging.Remove();
    return ok;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc == 5 ? argv[1] : L"";
    if (mode != L"download" && mode != L"extract" && mode != L"verify")
    {
        std::fprintf(stderr, "usage: update_bench download|extract|verify <source> <target> <runs>\n");
        return 2;
    }
    const int runs = _wtoi(argv[4]);
    KernelHandle archive;
    std::string signature;
    if (mode == L"verify")
    {
        archive.reset(
            CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        unsigned char sha512[64];
        if (!archive || !DigestFile(archive.get(), sha512))
            return 1;
        signature = SignUpdateDigest(UpdateKind::Software, L"1.0.0.20\n", sha512, BuildKeySeed());
    }
    for (int i = 0; i < runs; ++i)
    {
        double ms = 0.0;
        bool ok = false;
        if (mode == L"extract")
        {
            ok = ExtractAsTheUpdate(argv[2], argv[3], i + 1 == runs, ms);
        }
        else
        {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            if (mode == L"download")
                ok = DownloadToPath(argv[2], argv[3]);
            else
                ok = VerifyArchiveFile(UpdateKind::Software, L"1.0.0.20\n", archive.get(), signature);
            QueryPerformanceCounter(&end);
            ms = Milliseconds(start, end);
        }
        if (!ok)
        {
            std::fprintf(stderr, "%ls failed\n", mode.c_str());
            return 1;
        }
        std::printf("%ls %.1f\n", mode.c_str(), ms);
        std::fflush(stdout);
    }
    return 0;
}
