#include "linux/settings/DisplaySettingsText.h"

#include <gtest/gtest.h>

namespace
{
bool SameSettings(const DisplaySettings& a, const DisplaySettings& b)
{
    return a.ledSwitch == b.ledSwitch && a.deviceType == b.deviceType && a.tempeType == b.tempeType;
}

bool HasControl(const std::string& text)
{
    for (unsigned char c : text)
    {
        if (c < 0x20 || c == 0x7F)
        {
            return true;
        }
    }
    return false;
}
} // namespace

TEST(SettingsText, ValuesMapOntoTheWindowsProgramsIntegers)
{
    const SettingsParseResult parsed = ParseSettingsText("led = off\nsource=GPU\n  unit =  f  # comment\n");
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_TRUE(SameSettings(parsed.settings.display, DisplaySettings{2, 1, 1}));
    EXPECT_TRUE(SameSettings(ParseSettingsText("").settings.display, DisplaySettings{1, 0, 0})) << "defaults";
}

TEST(SettingsText, BadLinesKeepTheDefaultAndAreReportedByNumber)
{
    const SettingsParseResult parsed =
        ParseSettingsText("unit = f\nled = maybe\nbrightness = 3\njust words\nsource = cpu\n");
    EXPECT_TRUE(SameSettings(parsed.settings.display, DisplaySettings{1, 0, 1}));
    ASSERT_EQ(parsed.problems.size(), 3u);
    EXPECT_EQ(parsed.problems[0], "line 2: led takes on or off, not 'maybe'");
    EXPECT_EQ(parsed.problems[1],
              "line 3: unknown setting 'brightness' (known: led, source, unit, cpu-sensor, gpu-sensor)");
    EXPECT_EQ(parsed.problems[2], "line 4: expected key = value");

    const std::string binary("\x01\xff=\x00zz", 6);
    EXPECT_FALSE(ParseSettingsText(binary).problems.empty());
}

TEST(HostileFiles, ProblemsAreCountedValuesCutAndControlsEscaped)
{
    struct Case
    {
        std::size_t badLines;
        std::size_t reported;
        const char* last;
    };
    for (const Case& c :
         {Case{20, 20, "line 20: expected key = value"}, Case{21, 20, "2 more lines could not be used"}})
    {
        std::string text;
        for (std::size_t i = 0; i < c.badLines; ++i)
        {
            text += "junk\n";
        }
        const SettingsParseResult parsed = ParseSettingsText(text);
        ASSERT_EQ(parsed.problems.size(), c.reported);
        EXPECT_EQ(parsed.problems.back(), c.last);
    }
    const std::string at64(64, 'x');
    EXPECT_EQ(ParseSettingsText("unit = " + at64).problems[0],
              "line 1: unit takes c or f, not '" + at64 + "'");
    EXPECT_EQ(ParseSettingsText("unit = " + at64 + "yz").problems[0],
              "line 1: unit takes c or f, not '" + at64 + "...'");
    const SettingsParseResult binary =
        ParseSettingsText(std::string("led=\x1b[31m\x07\x9b\x00", 10) + "\nk\x1b=v\n");
    ASSERT_EQ(binary.problems.size(), 2u);
    for (const std::string& problem : binary.problems)
    {
        EXPECT_FALSE(HasControl(problem)) << problem;
    }
}

TEST(SettingsText, SetChangesOnlyItsOwnLine)
{
    const std::string text = "# mine\nunit = c  # Celsius please\nled = off\n\njunk line\nunit = f\n";
    EXPECT_EQ(SetSettingLine(text, "unit", "c"),
              "# mine\nunit = c  # Celsius please\nled = off\n\njunk line\nunit = c\n")
        << "the last line for a key is the one that counts";
    EXPECT_EQ(SetSettingLine("led = off # no digits", "LED", "on"), "led = on  # no digits\n");
    EXPECT_EQ(SetSettingLine("led = off", "cpu-sensor", "coretemp/Package id 0"),
              "led = off\ncpu-sensor = coretemp/Package id 0\n");
    EXPECT_EQ(SetSettingLine("", "unit", "f"),
              "# Cooler display settings; change them with kelvanectl set.\nunit = f\n");

    DaemonSettings settings;
    std::string problem;
    EXPECT_TRUE(ApplySetting("cpu-sensor", "AUTO", settings, problem));
    EXPECT_TRUE(ApplySetting("gpu-sensor", "amdgpu/edge@0000:03:00.0", settings, problem));
    EXPECT_EQ(DescribeSettings(settings),
              "led on, source cpu, unit c, cpu-sensor auto, gpu-sensor amdgpu/edge@0000:03:00.0");
    for (const std::string& bad :
         {std::string(), std::string(kMaxSensorIdLength + 1, 'a'), std::string("a#b")})
    {
        EXPECT_FALSE(ApplySetting("cpu-sensor", bad, settings, problem)) << bad;
    }
    EXPECT_TRUE(ApplySetting("cpu-sensor", std::string(kMaxSensorIdLength, 'a'), settings, problem));
}
