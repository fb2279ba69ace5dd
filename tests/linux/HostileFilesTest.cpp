// Files and text another local user (or a broken editor) may hand the daemon and the tool.
#include "linux/settings/DisplaySettingsText.h"
#include "linux/platform/SafeText.h"
#include "linux/platform/TextFile.h"
#include "linux/status/JsonWriter.h"
#include "linux/tool/ToolFiles.h"
#include "tests/linux/SysfsTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct ReadCase
{
    const char* name;
    std::function<void(const ScratchFolder&, const std::string&)> plant;
    const char* error; // empty: read
};

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

TEST(HostileFiles, OnlyARegularFileOfAtMost64KiBIsReadAndNothingBlocks)
{
    const std::vector<ReadCase> cases = {
        {"64 KiB exactly", [](auto& t, auto&) { t.Write("f", std::string(65536, 'a')); }, ""},
        {"one byte more", [](auto& t, auto&) { t.Write("f", std::string(65537, 'a')); },
         "larger than 64 KiB"},
        {"FIFO", [](auto&, auto& p) { mkfifo(p.c_str(), 0600); }, "it is a FIFO"},
        {"link to /dev/zero", [](auto&, auto& p) { (void)!symlink("/dev/zero", p.c_str()); },
         "symbolic link"},
        {"link to a good file",
         [](auto& t, auto& p)
         {
             t.Write("good", "led = off\n");
             (void)!symlink(t.Path("good").c_str(), p.c_str());
         },
         "symbolic link"},
        {"folder", [](auto&, auto& p) { mkdir(p.c_str(), 0700); }, "it is a folder"},
        {"missing", [](auto&, auto&) {}, "No such file"},
    };
    for (const ReadCase& c : cases)
    {
        ScratchFolder tree;
        const std::string path = tree.Path("f");
        c.plant(tree, path);
        std::string text;
        std::string error;
        const bool read = ReadRegularFile(path, kMaxTextFileBytes, text, error);
        EXPECT_EQ(read, std::string(c.error).empty()) << c.name << ": " << error;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
}

TEST(HostileFiles, ReplacingNeverFollowsAPlantedLinkAndSetsTheModeExactly)
{
    ScratchFolder tree;
    tree.Write("victim", "precious\n");
    // The old fixed temporary name, and the target itself, planted as links to another's file.
    (void)!symlink(tree.Path("victim").c_str(), tree.Path("status.new").c_str());
    (void)!symlink(tree.Path("victim").c_str(), tree.Path("status").c_str());
    const mode_t saved = umask(077);
    std::string error;
    EXPECT_TRUE(ReplaceTextFile(tree.Path("status"), "pid=1\n", 0644, error)) << error;
    umask(saved);

    std::string text;
    ASSERT_TRUE(ReadRegularFile(tree.Path("victim"), kMaxTextFileBytes, text, error));
    EXPECT_EQ(text, "precious\n");
    struct stat info
    {
    };
    ASSERT_EQ(lstat(tree.Path("status").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode)) << "the link itself was replaced";
    EXPECT_EQ(info.st_mode & 07777, 0644u) << "the service user must be able to read it";
    EXPECT_EQ(std::system(("test $(ls -A " + tree.Root() + " | wc -l) -eq 3").c_str()), 0)
        << "no temporary file left beside it";
}

TEST(HostileFiles, StatusOfAnotherUserIsNotTrusted)
{
    ScratchFolder tree;
    InstancePaths paths;
    paths.status = tree.Path("status");
    tree.Write("status", "pid=" + std::to_string(getpid()) + "\nshows=\x1b[2J fake\n");
    DaemonStatus status;
    std::string why;
    EXPECT_EQ(ReadRunningDaemon(paths, status, why), DaemonState::Running);
    EXPECT_EQ(status.shows, "\\x1b[2J fake") << "escaped even in a trusted file";
    if (chown(paths.status.c_str(), getuid() + 1000, static_cast<gid_t>(-1)) != 0)
    {
        GTEST_SKIP() << "giving a file away needs root";
    }
    EXPECT_EQ(ReadRunningDaemon(paths, status, why), DaemonState::Refused);
    EXPECT_NE(why.find("belongs to uid " + std::to_string(getuid() + 1000)), std::string::npos) << why;
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

TEST(JsonWriter, WritesOneValidDocument)
{
    JsonWriter json;
    json.BeginObject().Key("a\"b").String("q\"\\\x1b").Key("n").Number(45.6).Key("x").Number(0.0 / 0.0);
    json.Key("list").BeginArray().Integer(-3).Bool(false).Null().OptionalString("").EndArray().EndObject();
    EXPECT_EQ(json.Text(),
              "{\"a\\\"b\":\"q\\\"\\\\\\\\x1b\",\"n\":45.6,\"x\":null,\"list\":[-3,false,null,null]}\n");
}
