#include "app/core/SettingText.h"

#include <gtest/gtest.h>

#include <climits>

TEST(SettingText, ReadsLikeTheLibraryConversionButSaturates)
{
    EXPECT_EQ(0, ParseSettingText(nullptr));
    EXPECT_EQ(1, ParseSettingText(L"1"));
    EXPECT_EQ(-17, ParseSettingText(L"\r\n -17 degrees"));
    EXPECT_EQ(0, ParseSettingText(L"+-1"));
    EXPECT_EQ(INT_MAX, ParseSettingText(L"2147483647"));
    EXPECT_EQ(INT_MAX, ParseSettingText(L"2147483648"));
    EXPECT_EQ(INT_MIN, ParseSettingText(L"-2147483648"));
    EXPECT_EQ(INT_MIN, ParseSettingText(L"-2147483649"));
    EXPECT_EQ(INT_MAX, ParseSettingText(L"000000000000000000000000000099999999999999999999"));
    EXPECT_EQ(12, ParseSettingText(L"0000000000000000000000000000012"));
}
