// The simulator's fidelity where the program relies on it: enumeration shape, feature-report
// lengths as hidapi handles them on Windows, the version reply, the failure modes and the record.
#include "tools/displaysim/DisplaySimRecords.h"

#include <hidapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{
struct Collection
{
    std::string path;
    unsigned short vendor, product, page, usage;
};

std::vector<Collection> Enumerate(unsigned short vendor = 0, unsigned short product = 0)
{
    std::vector<Collection> found;
    hid_device_info* list = hid_enumerate(vendor, product);
    for (const hid_device_info* info = list; info; info = info->next)
    {
        found.push_back({info->path, info->vendor_id, info->product_id, info->usage_page, info->usage});
    }
    hid_free_enumeration(list);
    return found;
}

struct CloseDevice
{
    void operator()(hid_device* device) const { hid_close(device); }
};
using Device = std::unique_ptr<hid_device, CloseDevice>;

// Opens collection `collection` of display `display` (both 0-based, in enumeration order).
Device Open(int display, int collection)
{
    char instance[16];
    std::snprintf(instance, sizeof instance, "#7&%06x&", 0x3a5e00 + display);
    int index = 0;
    for (const Collection& c : Enumerate(0x1A2C, 0x434D))
    {
        if (c.path.find(instance) != std::string::npos && index++ == collection)
        {
            return Device(hid_open_path(c.path.c_str()));
        }
    }
    return nullptr;
}

class DisplaySim : public ::testing::Test
{
protected:
    void Configure(const char* config)
    {
        ASSERT_EQ(displaysim_configure(config), 1) << config;
        displaysim_clear_records();
    }
};

std::array<unsigned char, 80> Report(unsigned char id, unsigned char command)
{
    std::array<unsigned char, 80> report{};
    report.fill(0xEE);
    report[0] = id;
    report[1] = command;
    return report;
}
} // namespace

TEST_F(DisplaySim, EnumerationShape)
{
    Configure("displays=2; foreign_devices=1");
    const std::vector<Collection> all = Enumerate();
    ASSERT_EQ(all.size(), 1u + 2u * 3u);
    EXPECT_NE(all[0].vendor, 0x1A2C) << "the foreign device comes first";
    std::set<std::string> paths;
    int vendorCollections = 0;
    for (std::size_t i = 1; i < all.size(); ++i)
    {
        EXPECT_EQ(all[i].vendor, 0x1A2C);
        EXPECT_EQ(all[i].product, 0x434D);
        vendorCollections += all[i].page == 0xFF01 && all[i].usage == 1;
        paths.insert(all[i].path);
    }
    EXPECT_EQ(vendorCollections, 2) << "one per display";
    EXPECT_EQ(paths.size(), 6u) << "paths are unique";
    EXPECT_EQ(Enumerate(0x1A2C, 0x434D).size(), 6u);
    EXPECT_EQ(Enumerate(0x1A2C, 0x1111).size(), 0u);

    Configure("displays=0; foreign_devices=0");
    EXPECT_EQ(hid_enumerate(0, 0), nullptr);
}

TEST_F(DisplaySim, FeatureReportsAreCutToTheDeclaredLength)
{
    Configure("displays=1; feature_length=65");
    Device vendor = Open(0, 1);
    ASSERT_TRUE(vendor);
    auto report = Report(0x07, 0xFF);

    // Shorter: padded with zeros; the caller's length comes back.
    EXPECT_EQ(hid_send_feature_report(vendor.get(), report.data(), 10), 10);
    // Longer: truncated.
    EXPECT_EQ(hid_send_feature_report(vendor.get(), report.data(), 80), 80);
    const auto sets = DisplaySimRecords(DISPLAYSIM_SET);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].requested, 10);
    EXPECT_EQ(sets[0].delivered, 65);
    EXPECT_EQ(sets[0].data[9], 0xEE);
    EXPECT_EQ(sets[0].data[10], 0x00);
    EXPECT_EQ(sets[0].data[64], 0x00);
    EXPECT_EQ(sets[1].delivered, 65);
    EXPECT_EQ(sets[1].data[64], 0xEE);

    Configure("displays=1; feature_length=33");
    vendor = Open(0, 1);
    EXPECT_EQ(hid_send_feature_report(vendor.get(), report.data(), 65), 65);
    EXPECT_EQ(DisplaySimRecords(DISPLAYSIM_SET).at(0).delivered, 33);
}

TEST_F(DisplaySim, UndeclaredReportsAreRefused)
{
    Configure("displays=1; report_ids=07");
    Device vendor = Open(0, 1);
    Device consumer = Open(0, 0);
    ASSERT_TRUE(vendor);
    ASSERT_TRUE(consumer);
    auto report = Report(0x05, 0xFF);
    EXPECT_EQ(hid_send_feature_report(vendor.get(), report.data(), 65), -1);
    EXPECT_STRNE(hid_error(vendor.get()), L"Success");
    EXPECT_EQ(hid_get_feature_report(vendor.get(), report.data(), 64), -1);
    report = Report(0x07, 0xFF);
    EXPECT_EQ(hid_send_feature_report(consumer.get(), report.data(), 65), -1) << "not the vendor collection";
    EXPECT_EQ(hid_send_feature_report(vendor.get(), report.data(), 0), -1);
    EXPECT_EQ(hid_send_feature_report(vendor.get(), report.data(), 65), 65);
    EXPECT_STREQ(hid_error(vendor.get()), L"Success") << "a good call clears the error";
    EXPECT_EQ(DisplaySimReceivedReports().size(), 1u);
}

TEST_F(DisplaySim, GetFeatureNeedsRoomForTheWholeReport)
{
    Configure("displays=1; feature_length=65");
    Device vendor = Open(0, 1);
    std::array<unsigned char, 80> buffer{};
    buffer.fill(0xEE);
    buffer[0] = 0x07;
    EXPECT_EQ(hid_get_feature_report(vendor.get(), buffer.data(), 64), -1);
    EXPECT_EQ(buffer[1], 0xEE) << "untouched";
    EXPECT_EQ(hid_get_feature_report(vendor.get(), buffer.data(), 80), 65);
    EXPECT_EQ(buffer[0], 0x07) << "the report ID byte stays";
    EXPECT_EQ(buffer[1], 0x00);
    EXPECT_EQ(buffer[65], 0xEE) << "nothing beyond the report";
}

TEST_F(DisplaySim, VersionReply)
{
    Configure("displays=1; version=0x0209");
    Device vendor = Open(0, 1);
    std::array<unsigned char, 64> buffer{};
    buffer[0] = 0x07;
    EXPECT_EQ(hid_get_feature_report(vendor.get(), buffer.data(), buffer.size()), 64);
    EXPECT_EQ(buffer[1], 0) << "no version before it was asked for";

    auto request = Report(0x07, 0xFD);
    ASSERT_EQ(hid_send_feature_report(vendor.get(), request.data(), 64), 64);
    buffer.fill(0);
    buffer[0] = 0x07;
    EXPECT_EQ(hid_get_feature_report(vendor.get(), buffer.data(), buffer.size()), 64);
    EXPECT_EQ(buffer[0], 0x07);
    EXPECT_EQ(buffer[1], 0x02);
    EXPECT_EQ(buffer[2], 0x09);
}

TEST_F(DisplaySim, FailureModes)
{
    Configure("displays=4; display.0.fail=open; display.1.fail=product; display.2.fail=send,no_reply; "
              "display.3.fail=late_reply");
    EXPECT_FALSE(Open(0, 1));

    Device quiet = Open(1, 1);
    ASSERT_TRUE(quiet);
    wchar_t name[64] = L"";
    EXPECT_EQ(hid_get_product_string(quiet.get(), name, 64), -1);

    Device broken = Open(2, 1);
    ASSERT_TRUE(broken);
    auto report = Report(0x07, 0xFD);
    EXPECT_EQ(hid_send_feature_report(broken.get(), report.data(), 64), -1);
    std::array<unsigned char, 64> buffer{};
    buffer[0] = 0x07;
    buffer[1] = 0xFD;
    EXPECT_EQ(hid_get_feature_report(broken.get(), buffer.data(), buffer.size()), -1);
    EXPECT_EQ(buffer[1], 0xFD) << "untouched";

    Device late = Open(3, 1);
    ASSERT_EQ(hid_send_feature_report(late.get(), report.data(), 64), 64);
    hid_get_feature_report(late.get(), buffer.data(), buffer.size());
    EXPECT_EQ(buffer[0], 0x00);
    buffer[0] = 0x07;
    hid_get_feature_report(late.get(), buffer.data(), buffer.size());
    EXPECT_EQ(buffer[0], 0x07);
    EXPECT_EQ(buffer[1], 0x01);
    EXPECT_EQ(buffer[2], 0x03);
    EXPECT_EQ(hid_get_product_string(late.get(), name, 64), 0);
    EXPECT_STREQ(name, L"Cooler Display");
}

TEST_F(DisplaySim, UnpluggedDisplayIsGoneForGood)
{
    Configure("displays=2");
    Device vendor = Open(0, 1);
    ASSERT_TRUE(vendor);
    ASSERT_EQ(displaysim_set_plugged(0, 0), 1);
    EXPECT_EQ(Enumerate(0x1A2C, 0x434D).size(), 3u);
    auto report = Report(0x07, 0xFF);
    EXPECT_EQ(hid_send_feature_report(vendor.get(), report.data(), 65), -1);

    ASSERT_EQ(displaysim_set_plugged(0, 1), 1);
    EXPECT_EQ(hid_send_feature_report(vendor.get(), report.data(), 65), -1) << "the old handle stays dead";
    Device again = Open(0, 1);
    EXPECT_EQ(hid_send_feature_report(again.get(), report.data(), 65), 65);
    EXPECT_EQ(displaysim_set_plugged(7, 0), 0);
}

TEST_F(DisplaySim, InitFailure)
{
    Configure("displays=1; init_fails=1");
    EXPECT_EQ(hid_init(), -1);
    EXPECT_EQ(hid_enumerate(0, 0), nullptr);
    EXPECT_EQ(hid_open_path("\\\\?\\hid#vid_1a2c&pid_434d&mi_00&col02#7&3a5e00&0&0001"), nullptr);
    Configure("displays=1");
    EXPECT_EQ(hid_init(), 0);
}

TEST_F(DisplaySim, HandlesAreCountedAndRecorded)
{
    Configure("displays=1");
    const int before = displaysim_open_handles();
    {
        Device a = Open(0, 0);
        Device b = Open(0, 2);
        EXPECT_EQ(displaysim_open_handles(), before + 2);
    }
    EXPECT_EQ(displaysim_open_handles(), before);
    const auto records = DisplaySimRecords();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].kind, DISPLAYSIM_OPEN);
    EXPECT_EQ(records[3].kind, DISPLAYSIM_CLOSE);
    for (std::size_t i = 1; i < records.size(); ++i)
    {
        EXPECT_GE(records[i].microseconds, records[i - 1].microseconds);
    }
    EXPECT_EQ(std::strlen(records[0].utc), 23u);
}

TEST_F(DisplaySim, ConfigurationTextAndFile)
{
    EXPECT_EQ(displaysim_configure("displays=3\n# comment\ndisplay.2.version=0x0300\n"), 1);
    EXPECT_EQ(displaysim_display_count(), 3);
    EXPECT_EQ(displaysim_configure("displays=2; nonsense; display.5.version=1; fail=melt"), 0);
    EXPECT_EQ(displaysim_display_count(), 2) << "what could be understood still applies";

    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path =
        std::string(folder) + "displaysim-test-" + std::to_string(GetCurrentProcessId()) + ".cfg";
    {
        std::ofstream file(path);
        file << "displays=4\nfeature_length=65\n";
    }
    EXPECT_EQ(displaysim_configure_file(path.c_str()), 1);
    EXPECT_EQ(displaysim_display_count(), 4);
    DeleteFileA(path.c_str());
    EXPECT_EQ(displaysim_configure_file(path.c_str()), 0) << "missing file";
}

TEST_F(DisplaySim, LogFileForAPerson)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string log =
        std::string(folder) + "displaysim-test-" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log.c_str());
    Configure(("displays=1; feature_length=65; log=" + log).c_str());
    {
        Device vendor = Open(0, 1);
        std::array<unsigned char, 65> report{0x07, 0xFF, 0xFF, 0x00, 0x04, 0x05};
        ASSERT_EQ(hid_send_feature_report(vendor.get(), report.data(), report.size()), 65);
    }
    Configure("displays=1"); // closes the log
    std::ifstream file(log);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(
        text.str().find("display 0  collection 1  set    requested 65  delivered 65  result 65  bytes 07 ff "
                        "ff 00 04 05 (+59 zero)"),
        std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find("open"), std::string::npos);
    EXPECT_NE(text.str().find("close"), std::string::npos);
    DeleteFileA(log.c_str());
}

TEST(DisplaySimEnvironment, ConfiguresTheProcessThatLoadsIt)
{
    // displaydemo (built beside the tests) loads the simulator fresh and reads its environment.
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string id = std::to_string(GetCurrentProcessId());
    const std::string config = std::string(folder) + "displaysim-env-" + id + ".cfg";
    {
        std::ofstream file(config);
        file << "displays=3\nversion=0x0211\n";
    }
    SetEnvironmentVariableA("DISPLAYSIM_CONFIG", config.c_str());
    SetEnvironmentVariableA("DISPLAYSIM", "display.0.fail=open");

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::string command = "displaydemo.exe --seconds 0 --name displaysim_env_" + id;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeEnd);
    SetEnvironmentVariableA("DISPLAYSIM_CONFIG", nullptr);
    SetEnvironmentVariableA("DISPLAYSIM", nullptr);
    std::string output;
    if (started)
    {
        char chunk[256];
        DWORD read = 0;
        while (ReadFile(readEnd, chunk, sizeof chunk, &read, nullptr) && read > 0)
        {
            output.append(chunk, read);
        }
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    DeleteFileA(config.c_str());
    ASSERT_TRUE(started);
    EXPECT_NE(output.find("Device:2"), std::string::npos) << output;
    EXPECT_NE(output.find("firmware version of the first display: 211"), std::string::npos) << output;
}
