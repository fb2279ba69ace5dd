// Times the update path's heavy steps, for comparison with curl and unzip on the same inputs and of
// the signature check against the download:
//   update_bench download <url> <file> <runs>
//   update_bench extract <archive> <folder> <runs>
//   update_bench verify <archive> <unused> <runs>   (signs once with the build's key, then checks)
// Prints one line per run: "<step> <milliseconds>".
#include "app/platform/KernelHandle.h"
#include "app/update/archive/ArchiveExtractor.h"
#include "app/update/trust/ArchiveVerification.h"
#include "app/update/UpdateService.h"
#include "app/update/http/CHttpTransfer.h"
#include "tests/app/update/TestUpdateSigner.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

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
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5)
    {
        std::fprintf(stderr, "usage: update_bench download|extract|verify <source> <target> <runs>\n");
        return 2;
    }
    const std::wstring mode = argv[1];
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
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        bool ok = false;
        if (mode == L"download")
        {
            ok = DownloadToPath(argv[2], argv[3]);
        }
        else if (mode == L"verify")
        {
            ok = VerifyArchiveFile(UpdateKind::Software, L"1.0.0.20\n", archive.get(), signature);
        }
        else
        {
            ok = ExtractArchive(argv[2], argv[3]);
        }
        QueryPerformanceCounter(&end);
        if (!ok)
        {
            std::fprintf(stderr, "%ls failed\n", mode.c_str());
            return 1;
        }
        std::printf("%ls %.1f\n", mode.c_str(), Milliseconds(start, end));
        std::fflush(stdout);
    }
    return 0;
}
