// The version is kept once: what the program says it is, what its file's version resource says and
// what the update check compares must agree, or the program offers its own version as an update.
#include "app/update/UpdateService.h"
#include "app/update/VersionText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#ifndef TK_PROGRAM_FILE_WIN
#error "TK_PROGRAM_FILE_WIN names the built program"
#endif

namespace
{
struct FileVersion
{
    std::wstring text;  // StringFileInfo "FileVersion"
    std::wstring fixed; // VS_FIXEDFILEINFO as a.b.c.d
};

FileVersion ReadFileVersion(const wchar_t* path)
{
    FileVersion result;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, block.data()))
        return result;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        result.fixed = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                       std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                       std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                       std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    wchar_t* text = nullptr;
    if (VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\FileVersion",
                       reinterpret_cast<void**>(&text), &length) &&
        text)
        result.text = text;
    return result;
}
} // namespace

TEST(ProgramVersion, OwnVersionFileResourceAndUpdateComparisonAgree)
{
    const std::wstring own = UpdateService::CurrentVersion();
    const FileVersion file = ReadFileVersion(TK_PROGRAM_FILE_WIN);
    ASSERT_FALSE(file.text.empty()) << "the program has a version resource";
    EXPECT_EQ(own, file.text);
    EXPECT_EQ(own, file.fixed);
    EXPECT_FALSE(IsNewerVersion(own, file.text)) << "the program's own release is no update";
    EXPECT_TRUE(IsNewerVersion(own, file.fixed + L"0")) << "a later release is one";
}
