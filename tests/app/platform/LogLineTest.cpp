#include "app/platform/LogLine.h"

#include <gtest/gtest.h>

namespace
{
LogTime At(int offsetMinutes)
{
    LogTime time{2026, 12, 8, 7, 4, 5, 9, offsetMinutes};
    return time;
}
} // namespace

TEST(LogLine, TimeIsIso8601WithTheOffsetGiven)
{
    const std::pair<int, const char*> cases[] = {
        {0, "2026-12-08T07:04:05.009+00:00"},    {60, "2026-12-08T07:04:05.009+01:00"},
        {-300, "2026-12-08T07:04:05.009-05:00"}, {330, "2026-12-08T07:04:05.009+05:30"},
        {-210, "2026-12-08T07:04:05.009-03:30"}, {840, "2026-12-08T07:04:05.009+14:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLogTime(At(c.first)), c.second) << c.first;
}

TEST(LogLine, FieldsInOrderOneLine)
{
    EXPECT_EQ(FormatLogLine(At(60), "update", "update-check", "kind=software status=200"),
              "2026-12-08T07:04:05.009+01:00 [update] update-check kind=software status=200\n");
    EXPECT_EQ(FormatLogLine(At(0), "ui", "exit", ""), "2026-12-08T07:04:05.009+00:00 [ui] exit\n");
    EXPECT_EQ(FormatLogLine(At(0), "", "", "x"), "2026-12-08T07:04:05.009+00:00 [?] ? x\n");
    // A name cannot end the line.
    EXPECT_EQ(FormatLogLine(At(0), "a]\nb", "e v\r", "d"),
              "2026-12-08T07:04:05.009+00:00 [a]\\nb] e v\\r d\n");
}

TEST(LogLine, ControlCharactersAndBrokenUtf8AreEscaped)
{
    const std::pair<std::string, const char*> cases[] = {
        {"a\nb\rc\td", "a\\nb\\rc\\td"},
        {"C:\\Users\\x", "C:\\Users\\x"},
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"\x1b[31m\x7f", "\\x1B[31m\\x7F"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"\xc2\x85 \xc2\x9f \xc2\xa0", "\\u0085 \\u009F \xc2\xa0"},             // C1 controls, then NBSP
        {"\xe2\x80\xa8\xe2\x80\xa9\xe2\x80\xa7", "\\u2028\\u2029\xe2\x80\xa7"}, // line separators
        {"\xff\xfe", "\\xFF\\xFE"},
        {"\xc3", "\\xC3"},                            // cut sequence
        {"\xc0\xaf", "\\xC0\\xAF"},                   // overlong '/'
        {"\xed\xa0\x80", "\\xED\\xA0\\x80"},          // surrogate
        {"\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}, // above U+10FFFF
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeLogText(c.first, 1000), c.second) << c.first;
}

TEST(LogLine, LongTextsAreCutBetweenCharactersWithAMark)
{
    const struct
    {
        std::string in;
        std::size_t max;
        const char* out;
    } cases[] = {
        {"abcdef", 6, "abcdef"},
        {"abcdefg", 6, "abc..."}, // fits exactly; one byte over
        {"ab\ncde", 6, "ab..."},
        {"ab\ncde", 7, "ab\\ncde"},               // an escape is never split
        {"a\xe2\x82\xac\xe2\x82\xac", 6, "a..."}, // nor a character
        {"a\xe2\x82\xac\xe2\x82\xac", 7, "a\xe2\x82\xac\xe2\x82\xac"},
        {"abcd", 2, ""}, // no room for the mark either
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeLogText(c.in, c.max), c.out) << c.in << " in " << c.max;
    // Whole lines, whatever the fields hold: each byte of the first text grows fourfold.
    for (const std::string& details : {std::string(100000, '\x01'), std::string(3000, '\xff')})
    {
        const std::string line = FormatLogLine(At(0), std::string(500, 't'), std::string(500, 'e'), details);
        EXPECT_LE(line.size(), kMaxLogLineBytes);
        EXPECT_EQ(line.find('\n'), line.size() - 1);
        EXPECT_EQ(line.substr(line.size() - 4), "...\n");
    }
}

TEST(LogLine, WideTextsBecomeUtf8)
{
    EXPECT_EQ(LogUtf8(L"caf\x00e9 \x20ac"), "caf\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(LogUtf8(std::wstring{0xD83D, 0xDE00}), "\xf0\x9f\x98\x80");
    EXPECT_EQ(LogUtf8(std::wstring{L'a', 0xD83D}), "a\xef\xbf\xbd");
    EXPECT_EQ(LogUtf8(std::wstring{0xDE00, L'b'}), "\xef\xbf\xbd"
                                                   "b");
}
