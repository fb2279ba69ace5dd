#include "app/core/HresultMessage.h"

#include <gtest/gtest.h>

TEST(HresultMessage, AppendsLowerCaseHexWithoutLeadingZeros)
{
    EXPECT_EQ(HresultMessage("Failed: 0x", 0x1), "Failed: 0x1\n");
    EXPECT_EQ(HresultMessage("Failed: 0x", 0x00ABCDEF), "Failed: 0xabcdef\n");
    EXPECT_EQ(HresultMessage("Failed: 0x", 0x7FFFFFFF), "Failed: 0x7fffffff\n");
    EXPECT_EQ(HresultMessage("Failed: 0x", 0), "Failed: 0x0\n");
}

TEST(HresultMessage, NegativeCodeIsPrintedAsItsUnsigned32BitValue)
{
    // E_ACCESSDENIED, as a signed HRESULT.
    EXPECT_EQ(HresultMessage("Failed to register task definition with HRESULT: 0x", -2147024891),
              "Failed to register task definition with HRESULT: 0x80070005\n");
    EXPECT_EQ(HresultMessage("x", -1), "xffffffff\n");
    EXPECT_EQ(HresultMessage("x", INT32_MIN), "x80000000\n");
}

TEST(HresultMessage, NullMessageStillGivesTheCodeLine)
{
    EXPECT_EQ(HresultMessage(nullptr, 0x10), "10\n");
}
