#include "linux/tool/ToolCommandLine.h"

#include <gtest/gtest.h>

TEST(ToolCommandLine, AcceptsTheCommandsAndOptions)
{
    ToolCommandLine line = ParseToolCommandLine({"--user", "set", "unit", "f"});
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(line.command, ToolCommandLine::Command::Set);
    EXPECT_TRUE(line.user);
    EXPECT_EQ(line.key, "unit");
    EXPECT_EQ(line.value, "f");

    line = ParseToolCommandLine({"status", "--config", "/x.conf", "--status", "/y"});
    EXPECT_EQ(line.command, ToolCommandLine::Command::Status);
    EXPECT_EQ(line.config, "/x.conf");
    EXPECT_EQ(line.status, "/y");
    EXPECT_EQ(ParseToolCommandLine({"list"}).command, ToolCommandLine::Command::List);
    EXPECT_EQ(ParseToolCommandLine({"status", "--help"}).command, ToolCommandLine::Command::Help);
}

TEST(ToolCommandLine, BadInputSaysWhatIsWrong)
{
    struct Case
    {
        std::vector<std::string> arguments;
        const char* error;
    };
    for (const Case& c : {Case{{}, "no command given"}, Case{{"start"}, "unknown command 'start'"},
                          Case{{"--verbose", "status"}, "unknown option '--verbose'"},
                          Case{{"status", "now"}, "status takes no arguments"},
                          Case{{"set", "unit"}, "set takes a setting and a value"},
                          Case{{"set", "unit", "k"}, "unit takes c or f, not 'k'"},
                          Case{{"set", "led", "on", "now"}, "set takes a setting and a value"},
                          Case{{"set", "colour", "red"}, "unknown setting 'colour'"},
                          Case{{"status", "--config"}, "--config needs a file name"},
                          Case{{"status", "--status", ""}, "--status needs a file name"}})
    {
        const ToolCommandLine line = ParseToolCommandLine(c.arguments);
        EXPECT_NE(line.error.find(c.error), std::string::npos) << "got '" << line.error << "'";
    }
}

TEST(ToolCommandLine, SensorsJsonAndSensorChoice)
{
    ToolCommandLine line = ParseToolCommandLine({"--json", "sensors", "--sysfs", "/tmp/sys"});
    EXPECT_EQ(line.command, ToolCommandLine::Command::Sensors);
    EXPECT_TRUE(line.json);
    EXPECT_EQ(line.sysfs, "/tmp/sys");
    line = ParseToolCommandLine({"set", "cpu-sensor", "coretemp/Package", "id", "0"});
    EXPECT_TRUE(line.error.empty()) << line.error;
    EXPECT_EQ(line.value, "coretemp/Package id 0") << "an id typed without quotes";
    EXPECT_NE(ParseToolCommandLine({"set", "unit", "f", "c"}).error.find("set takes"), std::string::npos);
    EXPECT_NE(ParseToolCommandLine({"set", "unit", "f", "--json"}).error.find("--json goes with"),
              std::string::npos);
    EXPECT_NE(ParseToolCommandLine({"status", "--sysfs"}).error.find("--sysfs needs a folder"),
              std::string::npos);
}
