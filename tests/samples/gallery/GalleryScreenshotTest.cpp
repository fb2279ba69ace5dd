// Runs the Tessel gallery sample, which saves its windows as PNG artifacts, and checks the
// pictures: every basic control in every state, the shadowed dialog and the screen.

#include "tests/tessel/TesselTestKit.h"

#include <memory>
#include <string>

namespace
{

std::wstring GalleryFolder()
{
    const std::wstring folder = ArtifactsFolder() + L"gallery\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// Runs tessel_gallery.exe from this program's folder; its exit code, or -1.
int RunGallery(const std::wstring& shots)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring exe(self);
    exe = exe.substr(0, exe.rfind(L'\\') + 1) + L"tessel_gallery.exe";
    std::wstring command = L"\"" + exe + L"\" --shots \"" + shots.substr(0, shots.size() - 1) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    ::CloseHandle(pi.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &code);
    else
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

class Gallery : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = GalleryFolder();
        for (const wchar_t* name : {L"gallery_controls.png", L"gallery_shadow_dialog.png",
                                    L"gallery_shadow_preview.png", L"gallery_screen.png"})
            ::DeleteFileW((folder + name).c_str());
        exitCode = RunGallery(folder);
    }

    static std::unique_ptr<Gdiplus::Bitmap> Load(const wchar_t* name)
    {
        auto bitmap = std::make_unique<Gdiplus::Bitmap>((folder + name).c_str());
        if (bitmap->GetLastStatus() != Gdiplus::Ok)
            return nullptr;
        return bitmap;
    }

    static DWORD At(Gdiplus::Bitmap& b, int x, int y)
    {
        Gdiplus::Color c;
        b.GetPixel(x, y, &c);
        return c.GetValue();
    }

    static std::wstring folder;
    static int exitCode;
};

std::wstring Gallery::folder;
int Gallery::exitCode = -1;

TEST_F(Gallery, RunsAndSavesItsSnapshots)
{
    EXPECT_EQ(0, exitCode);
    for (const wchar_t* name : {L"gallery_controls.png", L"gallery_shadow_dialog.png",
                                L"gallery_shadow_preview.png", L"gallery_screen.png"})
        EXPECT_NE(nullptr, Load(name)) << "missing " << std::string(name, name + wcslen(name));
}

TEST_F(Gallery, ButtonsShowEveryState)
{
    auto shot = Load(L"gallery_controls.png");
    ASSERT_NE(nullptr, shot);
    ASSERT_EQ(660u, shot->GetWidth());
    // The four captioned buttons at x 130, 255, 380, 505 (110 x 30) on row y 56; sample their right
    // ends, clear of the captions.
    const DWORD normal = At(*shot, 235, 71), hover = At(*shot, 360, 71), pressed = At(*shot, 485, 71),
                disabled = At(*shot, 610, 71);
    EXPECT_GT(Red(normal), 200) << std::hex << normal;
    EXPECT_NEAR(Red(normal), Blue(normal), 12) << "neutral white";
    EXPECT_GT(Blue(hover) - Red(hover), 10) << std::hex << hover;
    EXPECT_GT(Blue(pressed) - Red(pressed), 30) << std::hex << pressed;
    EXPECT_LT(Green(pressed), Green(hover)) << "pressed is darker than hover";
    EXPECT_NEAR(Red(disabled), Blue(disabled), 12) << "disabled is grey";
    EXPECT_LT(Red(disabled), Red(normal));

    // The close strip: hover and pressed show the red disc, normal and disabled do not.
    const DWORD closeNormal = At(*shot, 130 + 13, 113 + 12), closeHover = At(*shot, 166 + 4, 113 + 12),
                closePressed = At(*shot, 202 + 4, 113 + 12);
    EXPECT_GT(Red(closeHover) - Blue(closeHover), 80) << std::hex << closeHover;
    EXPECT_GT(Red(closePressed) - Blue(closePressed), 60) << std::hex << closePressed;
    EXPECT_LT(Red(closeNormal) - Blue(closeNormal), 40);
}

TEST_F(Gallery, ShadowPreviewDarkensTheBackdropBesideTheDialog)
{
    auto preview = Load(L"gallery_shadow_preview.png");
    ASSERT_NE(nullptr, preview);
    // Dialog 300 x 160 at (40, 40); offset (4, 6), size 12.
    const DWORD backdrop = At(*preview, 5, 5);
    const DWORD strip = At(*preview, 40 + 300 + 2, 40 + 80);
    const DWORD fade = At(*preview, 40 + 300 + 10, 40 + 80);
    EXPECT_LT(Red(strip), Red(backdrop) - 60) << std::hex << strip;
    EXPECT_GT(Red(fade), Red(strip));
    EXPECT_LT(Red(fade), Red(backdrop));
    EXPECT_EQ(Red(backdrop), Red(At(*preview, 40 + 100, 40 + 160 + 30))) << "beyond the reach";
}

} // namespace
