#include "app/platform/LogLine.h"

#include <gtest/gtest.h>

namespace
{
LogTime At(int offsetMinutes)
{
    LogTime time;
    time.year = 2026;
    time.month = 12;
    time.day = 8;
    time.hour = 7;
    time.minute = 4;
    time.second = 5;
    time.millisecond = 9;
    time.offsetMinutes = offsetMinutes;
    return time;
}

// Escaping changes nothing in well-formed UTF-8 but line breaks.
bool IsValidUtf8(const std::string& text)
{
    std::string expected;
    for (const char c : text)
        expected += c == '\n' ? "\\n" : std::string(1, c);
    return EscapeLogText(text, text.size() * 4 + 8) == expected;
}
} // namespace

TEST(LogLine, TimeIsIso8601WithTheOffsetGiven)
{
    const struct
    {
        int offset;
        const char* expected;
    } cases[] = {
        {0, "2026-12-08T07:04:05.009+00:00"},    {60, "2026-12-08T07:04:05.009+01:00"},
        {-300, "2026-12-08T07:04:05.009-05:00"}, {330, "2026-12-08T07:04:05.009+05:30"},
        {-210, "2026-12-08T07:04:05.009-03:30"}, {840, "2026-12-08T07:04:05.009+14:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLogTime(At(c.offset)), c.expected) << c.offset;
}

TEST(LogLine, FieldsInOrderOneLine)
{
    EXPECT_EQ(FormatLogLine(At(60), "update", "update-check", "kind=software status=200"),
              "2026-12-08T07:04:05.009+01:00 [update] update-check kind=software status=200\n");
    EXPECT_EQ(FormatLogLine(At(0), "ui", "exit", ""), "2026-12-08T07:04:05.009+00:00 [ui] exit\n");
    EXPECT_EQ(FormatLogLine(At(0), "", "", "x"), "2026-12-08T07:04:05.009+00:00 [?] ? x\n");
    // A name cannot end the line or forge a field.
    EXPECT_EQ(FormatLogLine(At(0), "a]\nb", "e v\r", "d"),
              "2026-12-08T07:04:05.009+00:00 [a]\\nb] e v\\r d\n");
}

TEST(LogLine, ControlCharactersAndBrokenUtf8AreEscaped)
{
    const struct
    {
        std::string in;
        const char* out;
    } cases[] = {
        {"plain text", "plain text"},
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
        {"\xe0\x80\x80", "\\xE0\\x80\\x80"},          // overlong three bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeLogText(c.in, 1000), c.out) << c.in;
}

TEST(LogLine, LongTextsAreCutBetweenCharactersWithAMark)
{
    const struct
    {
        std::string in;
        std::size_t max;
        const char* out;
    } cases[] = {
        {"abcdef", 6, "abcdef"},  // fits exactly
        {"abcdefg", 6, "abc..."}, // one byte over
        {"ab\ncde", 6, "ab..."},  // an escape is never split
        {"ab\ncde", 7, "ab\\ncde"},
        {"a\xe2\x82\xac\xe2\x82\xac", 6, "a..."}, // nor a character
        {"a\xe2\x82\xac\xe2\x82\xac", 7, "a\xe2\x82\xac\xe2\x82\xac"},
        {"abcd", 2, ""}, // no room for the mark either
        {"", 0, ""},
    };
    for (const auto& c : cases)
    {
        const std::string out = EscapeLogText(c.in, c.max);
        EXPECT_EQ(out, c.out) << c.in << " in " << c.max;
        EXPECT_LE(out.size(), c.max);
    }
}

TEST(LogLine, EveryLineIsBounded)
{
    const std::string huge(100000, '\x01'); // each byte grows fourfold
    for (const std::string& details : {huge, std::string(5000, 'x'), std::string(3000, '\xff')})
    {
        const std::string line = FormatLogLine(At(0), std::string(500, 't'), std::string(500, 'e'), details);
        EXPECT_LE(line.size(), kMaxLogLineBytes);
        EXPECT_EQ(line.find('\n'), line.size() - 1);
        EXPECT_EQ(line.substr(line.size() - 4), "...\n");
        EXPECT_TRUE(IsValidUtf8(line));
    }
    const std::string fits(kMaxLogLineBytes - 64, 'x');
    EXPECT_NE(FormatLogLine(At(0), "ui", "e", fits).find(fits + "\n"), std::string::npos);
}

TEST(LogLine, WideTextsBecomeUtf8)
{
    EXPECT_EQ(LogUtf8(L"C:\\Users\\x"), "C:\\Users\\x");
    EXPECT_EQ(LogUtf8(L"caf\x00e9 \x20ac"), "caf\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(LogUtf8(std::wstring{0xD83D, 0xDE00}), "\xf0\x9f\x98\x80");
    EXPECT_EQ(LogUtf8(std::wstring{L'a', 0xD83D}), "a\xef\xbf\xbd");
    EXPECT_EQ(LogUtf8(std::wstring{0xDE00, L'b'}), "\xef\xbf\xbd"
                                                   "b");
}
