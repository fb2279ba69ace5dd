#include "tests/tessel/RenderTestSupport.h"

#include "tessel/render/Manager.h"
#include "tests/support/GdiplusEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <vector>

namespace
{

::testing::Environment* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// Skin files written by the tests, deleted when the program ends (caches may hold them open
// until then).
struct WrittenFiles
{
    ~WrittenFiles()
    {
        for (const std::wstring& path : paths)
            ::DeleteFileW(path.c_str());
    }
    std::vector<std::wstring> paths;
} g_written;

} // namespace

std::wstring TestSkinFolder()
{
    const std::wstring folder = Tessel::Manager::GetSkinFolder().GetString();
    const std::wstring skins = folder.substr(0, folder.size() - std::wcslen(L"theme1\\"));
    ::CreateDirectoryW(skins.c_str(), nullptr);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::unique_ptr<Gdiplus::Bitmap> MakeBitmap(int width, int height, Gdiplus::ARGB color)
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap->SetPixel(x, y, Gdiplus::Color(color));
    return bitmap;
}

std::wstring UniqueName(const wchar_t* stem, const wchar_t* extension)
{
    // Process ids repeat across Wine sessions, so the start time is part of the name too.
    static const ULONGLONG start = []
    {
        LARGE_INTEGER now = {};
        ::QueryPerformanceCounter(&now);
        return static_cast<ULONGLONG>(now.QuadPart);
    }();
    static int counter = 0;
    wchar_t name[128];
    std::swprintf(name, 128, L"%ls_%lu_%llx_%d%ls", stem, ::GetCurrentProcessId(), start, ++counter,
                  extension);
    return name;
}

void ForgetAtExit(const std::wstring& path)
{
    g_written.paths.push_back(path);
}

std::wstring WriteSkinPng(const wchar_t* stem, int width, int height, Gdiplus::ARGB color)
{
    const std::wstring name = UniqueName(stem, L".png");
    auto bitmap = MakeBitmap(width, height, color);
    EXPECT_TRUE(SavePng(*bitmap, TestSkinFolder() + name));
    ForgetAtExit(TestSkinFolder() + name);
    return name;
}

std::wstring AnyInstalledFamily()
{
    Gdiplus::InstalledFontCollection installed;
    if (installed.GetFamilyCount() < 1)
        return L"";
    Gdiplus::FontFamily family;
    INT found = 0;
    installed.GetFamilies(1, &family, &found);
    wchar_t name[LF_FACESIZE] = {};
    if (found < 1 || family.GetFamilyName(name) != Gdiplus::Ok)
        return L"";
    return name;
}

bool WriteIconFile(const std::wstring& path)
{
    constexpr int kSize = 16;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = kSize;
    header.biHeight = kSize * 2; // colour rows then mask rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::vector<DWORD> colour(kSize * kSize, 0xFF2080C0);
    std::vector<BYTE> mask(kSize * 4, 0); // 1 bpp rows padded to 4 bytes, all opaque
    const DWORD imageSize = static_cast<DWORD>(sizeof(header) + colour.size() * sizeof(DWORD) + mask.size());
#pragma pack(push, 2)
    struct
    {
        WORD reserved, type, count;
        BYTE width, height, colours, reserved2;
        WORD planes, bitCount;
        DWORD bytes, offset;
    } directory = {0, 1, 1, kSize, kSize, 0, 0, 1, 32, imageSize, 6 + 16};
#pragma pack(pop)
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, &directory, sizeof(directory), &written, nullptr) != FALSE;
    ok = ok && ::WriteFile(file, &header, sizeof(header), &written, nullptr);
    ok = ok && ::WriteFile(file, colour.data(), static_cast<DWORD>(colour.size() * 4), &written, nullptr);
    ok = ok && ::WriteFile(file, mask.data(), static_cast<DWORD>(mask.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok;
}
