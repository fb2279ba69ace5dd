#include "linux/platform/SafeText.h"

#include <gtest/gtest.h>

TEST(SafeText, EscapesControlsAndBrokenUtf8KeepsPrintableUtf8)
{
    struct Case
    {
        std::string raw;
        std::string safe;
    };
    for (const Case& c :
         {Case{"plain ~", "plain ~"}, Case{"a\tb\nc\x7f", "a\\x09b\\x0ac\\x7f"}, Case{"\x1b[2J", "\\x1b[2J"},
          Case{"j\xc3\xbcrgen \xe2\x82\xac", "j\xc3\xbcrgen \xe2\x82\xac"},
          Case{"\xc2\x9b"
               "1m",
               "\\u009b1m"},
          Case{"\xc2\xa0", "\xc2\xa0"}, Case{"\xff\xc3", "\\xff\\xc3"}, Case{"\xc0\xaf", "\\xc0\\xaf"}})
    {
        EXPECT_EQ(EscapeControls(c.raw), c.safe);
        EXPECT_EQ(EscapeControls(c.safe), c.safe) << "escaping twice changes nothing";
    }
    EXPECT_EQ(QuoteValue(std::string(3, 'a'), 3), "aaa");
    EXPECT_EQ(QuoteValue("aa\xc3\xbc\xc3\xbc", 3), "aa\xc3\xbc...") << "characters, not bytes";
    EXPECT_EQ(NarrowDeviceText(L"\x1f \x7e\x7f\xe9"), "? ~??") << "printable ASCII only";
    EXPECT_EQ(NarrowDeviceText(nullptr), "");
}
