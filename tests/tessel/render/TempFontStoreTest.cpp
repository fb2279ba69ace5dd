#include "tests/tessel/RenderTestSupport.h"

#include "tessel/render/Manager.h"
#include "tessel/render/TempFontStore.h"
#include "tessel/resources/TesselResources.h"

#include <gtest/gtest.h>

using namespace Tessel;

namespace
{

constexpr const wchar_t* kEmbeddedFace = L"Open Sans Semibold";

std::wstring FamilyName(Gdiplus::FontFamily* family)
{
    wchar_t name[LF_FACESIZE] = {};
    family->GetFamilyName(name);
    return name;
}

int CALLBACK CountFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return 1;
}

// How many fonts GDI lists under the face name.
int GdiFaceCount(const wchar_t* face)
{
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    int count = 0;
    HDC dc = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(dc, &query, CountFace, reinterpret_cast<LPARAM>(&count), 0);
    ::ReleaseDC(nullptr, dc);
    return count;
}

// Restores the framework-wide face after a test changes it.
class FaceGuard
{
public:
    FaceGuard() : m_saved(Manager::GetFontName()) {}
    ~FaceGuard() { Manager::SetFontName(m_saved); }

private:
    CString m_saved;
};

} // namespace

TEST(EmbeddedFont, ResourceIsTheOpenSansSemiboldFile)
{
    const HMODULE module = Manager::GetFrameworkModule();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_TESSEL_FONT), L"TTF");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(::SizeofResource(module, info), 221328u);
    // Resource type names are found case-insensitively: callers ask for "ttf".
    EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(IDR_TESSEL_FONT), L"ttf"), nullptr);
}

TEST(TempFontStore, GdiRegistrationMakesTheFaceAvailableUntilCleared)
{
    TempFontStore store;
    EXPECT_EQ(store.AddGDITempFont(4711), 0);
    EXPECT_EQ(store.GetGDIFontCount(), 0u);
    ASSERT_EQ(store.AddGDITempFont(IDR_TESSEL_FONT), 1);
    EXPECT_EQ(store.GetGDIFontCount(), 1u);
    EXPECT_GT(GdiFaceCount(kEmbeddedFace), 0);
    store.ClearTempFont();
    EXPECT_EQ(store.GetGDIFontCount(), 0u);
}

TEST(TempFontStore, ResourceFontGivesItsFirstFamilyUnderTheGivenFace)
{
    TempFontStore store;
    Gdiplus::FontFamily* family = store.AddTempFont(L"embedded", IDR_TESSEL_FONT);
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(FamilyName(family), kEmbeddedFace);
    EXPECT_EQ(store.GetFamilyCount(), 1u);
    EXPECT_EQ(store.AddTempFont(L"missing", 4711u), nullptr);
    EXPECT_EQ(store.AddTempFont(L"nofile", L"Z:\\no\\such\\font.ttf"), nullptr);
    EXPECT_EQ(store.GetFamilyCount(), 1u);

    // A font made from the kept family still draws after the call returned.
    Gdiplus::Font font(family, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    EXPECT_EQ(font.GetLastStatus(), Gdiplus::Ok);
}

TEST(TempFontStore, FindLooksUpTheFrameworkFaceWhateverIsAsked)
{
    FaceGuard guard;
    TempFontStore store;
    Gdiplus::FontFamily* added = store.AddTempFont(kEmbeddedFace, IDR_TESSEL_FONT);
    ASSERT_NE(added, nullptr);
    Manager::SetFontName(kEmbeddedFace);
    EXPECT_EQ(store.FindTempFont(L"Courier New"), added);
    EXPECT_EQ(store.FindTempFont(nullptr), added);
}

TEST(TempFontStore, InstalledFaceIsRememberedUnknownFaceFallsBackUnfiled)
{
    FaceGuard guard;
    TempFontStore store;
    const std::wstring face = AnyInstalledFamily();
    if (face.empty())
        GTEST_SKIP() << "no installed font";
    Manager::SetFontName(face.c_str());
    Gdiplus::FontFamily* installed = store.FindTempFont(L"ignored");
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(FamilyName(installed), face);
    EXPECT_EQ(store.FindTempFont(L"ignored"), installed);
    EXPECT_EQ(store.GetFamilyCount(), 1u);

    // A face that is not installed draws in the system's sans-serif family, not filed under it.
    Manager::SetFontName(L"No Such Face 4711");
    Gdiplus::FontFamily* fallback = store.FindTempFont(face.c_str());
    ASSERT_NE(fallback, nullptr);
    EXPECT_NE(FamilyName(fallback), L"No Such Face 4711");
    EXPECT_EQ(store.FindTempFont(nullptr), fallback);
    EXPECT_EQ(store.GetFamilyCount(), 1u);

    store.ClearTempFont();
    EXPECT_EQ(store.GetFamilyCount(), 0u);
}
