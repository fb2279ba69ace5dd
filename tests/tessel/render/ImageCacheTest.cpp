#include "tests/tessel/RenderTestSupport.h"

#include "tessel/render/ImageCache.h"
#include "tessel/render/Manager.h"
#include "tessel/resources/TesselResources.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace Tessel;

TEST(ImageCache, FirstFrameCountWinsAndTheEntryIsShared)
{
    const std::wstring name = WriteSkinPng(L"img_button", 120, 30, 0xFF336699);
    ImageCache cache;
    ImgResInfo* four = cache.Add(name.c_str(), 4);
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(four->GetFrameWidth(), 30);
    EXPECT_EQ(four->GetFrameHeight(), 30);
    EXPECT_EQ(four->GetFrameCount(), 4);
    EXPECT_EQ(four->GetFileName(), name.c_str());

    ImgResInfo* one = cache.Add(name.c_str(), 1);
    EXPECT_EQ(one, four);
    EXPECT_EQ(one->GetFrameWidth(), 30);
    EXPECT_EQ(cache.Count(), 1u);
}

TEST(ImageCache, FrameWidthIsIntegerDivisionAndZeroFramesCountAsOne)
{
    const std::wstring odd = WriteSkinPng(L"odd", 10, 4, 0xFF000000);
    const std::wstring zero = WriteSkinPng(L"zero", 10, 4, 0xFF000000);
    ImageCache cache;
    ImgResInfo* three = cache.Add(odd.c_str(), 3);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->GetFrameWidth(), 3);
    ImgResInfo* none = cache.Add(zero.c_str(), 0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->GetFrameCount(), 1);
    EXPECT_EQ(none->GetFrameWidth(), 10);
    ImgResInfo* negative = cache.Add(IDR_TESSEL_SCROLL_HORIZONTAL, L"PNG", -2, 0);
    ASSERT_NE(negative, nullptr);
    EXPECT_EQ(negative->GetFrameWidth(), 22);
}

TEST(ImageCache, MissingFileIsNotRememberedSoALaterRequestSucceeds)
{
    const std::wstring name = UniqueName(L"late", L".png");
    ImageCache cache;
    EXPECT_EQ(cache.Add(name.c_str(), 1), nullptr);
    EXPECT_EQ(cache.Count(), 0u);

    auto bitmap = MakeBitmap(8, 8, 0xFFFFFFFF);
    ASSERT_TRUE(SavePng(*bitmap, TestSkinFolder() + name));
    ForgetAtExit(TestSkinFolder() + name);
    ImgResInfo* found = cache.Add(name.c_str(), 1);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetFrameWidth(), 8);
    EXPECT_EQ(cache.Add(nullptr, 1), nullptr);
    EXPECT_EQ(cache.Add(L"", 1), nullptr);
}

TEST(ImageCache, NamesAreCaseSensitiveKeys)
{
    const std::wstring name = WriteSkinPng(L"Case", 4, 4, 0xFF000000);
    std::wstring lower = name;
    for (auto& ch : lower)
        ch = static_cast<wchar_t>(towlower(ch));
    ImageCache cache;
    ImgResInfo* exact = cache.Add(name.c_str(), 1);
    // The file system finds the other spelling too, but the cache keeps it apart.
    ImgResInfo* other = cache.Add(lower.c_str(), 1);
    ASSERT_NE(exact, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(exact, other);
    EXPECT_EQ(cache.Count(), 2u);
}

TEST(ImageCache, ApplicationAndFrameworkResourcesHaveSeparateMaps)
{
    const HINSTANCE saved = Manager::GetInstance();
    // Stand the framework library in for the application so both maps can load id 102.
    Manager::SetInstance(Manager::GetFrameworkModule());
    ImageCache cache;
    ImgResInfo* framework = cache.Add(IDR_TESSEL_SCROLL_VERTICAL, L"PNG", 1, 0);
    ImgResInfo* application = cache.Add(IDR_TESSEL_SCROLL_VERTICAL, L"PNG", 2, 1);
    Manager::SetInstance(saved);
    ASSERT_NE(framework, nullptr);
    ASSERT_NE(application, nullptr);
    EXPECT_NE(framework, application);
    EXPECT_EQ(framework->GetFrameWidth(), 12);
    EXPECT_EQ(application->GetFrameWidth(), 6);
    EXPECT_EQ(application->GetResourceId(), static_cast<UINT>(IDR_TESSEL_SCROLL_VERTICAL));
    EXPECT_EQ(cache.Add(IDR_TESSEL_SCROLL_VERTICAL, L"PNG", 4, 0), framework);
    EXPECT_EQ(cache.Add(4242, L"PNG", 1, 0), nullptr);
    EXPECT_EQ(cache.Count(), 2u);
}

TEST(ImageCache, TwoCachesLoadTheirOwnCopiesAndClearEmptiesAll)
{
    const std::wstring name = WriteSkinPng(L"shared", 16, 16, 0xFF00FF00);
    ImageCache first, second;
    ImgResInfo* a = first.Add(name.c_str(), 1);
    ImgResInfo* b = second.Add(name.c_str(), 1);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a->GetImage(), b->GetImage());
    first.Add(IDR_TESSEL_SCROLL_HORIZONTAL, L"PNG", 1, 0);
    EXPECT_EQ(first.Count(), 2u);
    first.Clear();
    EXPECT_EQ(first.Count(), 0u);
    EXPECT_EQ(second.Count(), 1u);
}

TEST(ImageCache, ConcurrentRequestsShareOneEntry)
{
    const std::wstring name = WriteSkinPng(L"race", 40, 10, 0xFF0000FF);
    ImageCache cache;
    std::vector<ImgResInfo*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
    {
        threads.emplace_back(
            [&, t]
            {
                for (int i = 0; i < 50; ++i)
                    seen[t] = cache.Add(name.c_str(), 4);
            });
    }
    for (auto& thread : threads)
        thread.join();
    for (ImgResInfo* info : seen)
        EXPECT_EQ(info, seen[0]);
    EXPECT_NE(seen[0], nullptr);
    EXPECT_EQ(cache.Count(), 1u);
}
