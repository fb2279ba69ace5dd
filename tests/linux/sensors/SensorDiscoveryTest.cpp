#include "linux/sensors/MillidegreeValue.h"
#include "linux/sensors/SensorDiscovery.h"
#include "tests/linux/SysfsTree.h"

#include <gtest/gtest.h>

namespace
{
// The automatic choice, opened, as the daemon uses it.
struct DiscoveredSensors
{
    std::vector<SensorCandidate> candidates;
    std::unique_ptr<TemperatureSensor> cpu;
    std::unique_ptr<TemperatureSensor> gpu;
};

DiscoveredSensors Discover(const ScratchFolder& tree)
{
    DiscoveredSensors found;
    found.candidates = ListSensorCandidates(tree.Path("sys"), nullptr);
    const SensorCandidate* cpu = AutoCpuSensor(found.candidates);
    const SensorCandidate* gpu = AutoGpuSensor(found.candidates);
    found.cpu = cpu ? OpenSensor(*cpu, nullptr) : nullptr;
    found.gpu = gpu ? OpenSensor(*gpu, nullptr) : nullptr;
    return found;
}

::testing::AssertionResult Reads(TemperatureSensor* sensor, double celsius)
{
    if (!sensor)
    {
        return ::testing::AssertionFailure() << "no sensor";
    }
    const SensorReading reading = sensor->Read();
    if (!reading.valid || reading.celsius != celsius)
    {
        return ::testing::AssertionFailure()
               << sensor->Describe() << " read " << reading.celsius << " (" << reading.problem << ")";
    }
    return ::testing::AssertionSuccess();
}
} // namespace

TEST(SensorDiscovery, RyzenTakesTctlAndRadeonTakesEdge)
{
    ScratchFolder tree;
    AddRyzenWithRadeon(tree, "45600", "52000");
    DiscoveredSensors found = Discover(tree);
    EXPECT_TRUE(Reads(found.cpu.get(), 45.6));
    EXPECT_NE(found.cpu->Describe().find("k10temp/Tctl"), std::string::npos);
    EXPECT_TRUE(Reads(found.gpu.get(), 52.0));
    EXPECT_NE(found.gpu->Describe().find("amdgpu/edge"), std::string::npos);
}

TEST(SensorDiscovery, FirstZenGenerationWithoutTctlFallsBackToTdie)
{
    ScratchFolder tree;
    AddHwmon(tree, 0, "k10temp", {{"Tdie", "41000"}});
    EXPECT_TRUE(Reads(Discover(tree).cpu.get(), 41.0));
}

TEST(SensorDiscovery, IntelTakesThePackageEvenWhenCoresComeFirst)
{
    ScratchFolder tree;
    AddIntelDesktop(tree, "55000");
    DiscoveredSensors found = Discover(tree);
    EXPECT_TRUE(Reads(found.cpu.get(), 55.0));
    EXPECT_NE(found.cpu->Describe().find("coretemp/Package id 0"), std::string::npos);
    EXPECT_EQ(found.gpu, nullptr) << "i915 without a temperature is no GPU sensor";
}

TEST(SensorDiscovery, DriverPreferenceBeatsHwmonOrder)
{
    ScratchFolder tree;
    AddHwmon(tree, 0, "zenpower", {{"Tdie", "70000"}, {"Tctl", "71000"}});
    AddHwmon(tree, 1, "nouveau", {{"", "60000"}});
    AddHwmon(tree, 2, "coretemp", {{"Package id 0", "40000"}});
    AddHwmon(tree, 10, "amdgpu", {{"edge", "50000"}});
    DiscoveredSensors found = Discover(tree);
    EXPECT_TRUE(Reads(found.cpu.get(), 40.0));
    EXPECT_TRUE(Reads(found.gpu.get(), 50.0)) << "amdgpu comes before nouveau";
}

TEST(SensorDiscovery, HwmonFoldersAreOrderedByNumber)
{
    ScratchFolder tree;
    AddHwmon(tree, 10, "coretemp", {{"Package id 0", "60000"}});
    AddHwmon(tree, 9, "coretemp", {{"Package id 0", "50000"}});
    EXPECT_TRUE(Reads(Discover(tree).cpu.get(), 50.0));
}

TEST(SensorDiscovery, ThermalZoneWhenNoCpuDriverPublishes)
{
    ScratchFolder tree;
    AddThermalZone(tree, 0, "acpitz", "27800");
    AddThermalZone(tree, 1, "cpu-thermal", "48300");
    DiscoveredSensors found = Discover(tree);
    EXPECT_TRUE(Reads(found.cpu.get(), 48.3));
    EXPECT_NE(found.cpu->Describe().find("cpu-thermal"), std::string::npos);
}

TEST(SensorDiscovery, MachineWithoutSensorsFindsNothing)
{
    ScratchFolder tree;
    AddHwmon(tree, 0, "nvme", {{"Composite", "38850"}});
    AddThermalZone(tree, 0, "acpitz", "27800");
    DiscoveredSensors found = Discover(tree);
    EXPECT_EQ(found.cpu, nullptr);
    EXPECT_EQ(found.gpu, nullptr);

    ScratchFolder empty;
    EXPECT_EQ(Discover(empty).cpu, nullptr) << "no sys/class at all";
}

TEST(SensorDiscovery, BrokenValuesGiveAProblemNotAReading)
{
    struct Case
    {
        const char* value;
        const char* problem;
    };
    for (const Case& c :
         {Case{"garbage", "unreadable value 'garbage'"}, Case{"", "empty value"},
          Case{"-5000", "implausible value -5.0 C"}, Case{"4000000", "implausible value 4000.0 C"},
          Case{"45000 12", "unreadable value"}, Case{"99999999999999999999", "unreadable value"}})
    {
        ScratchFolder tree;
        AddHwmon(tree, 0, "k10temp", {{"Tctl", c.value}});
        DiscoveredSensors found = Discover(tree);
        ASSERT_NE(found.cpu, nullptr);
        const SensorReading reading = found.cpu->Read();
        EXPECT_FALSE(reading.valid) << c.value;
        EXPECT_NE(reading.problem.find(c.problem), std::string::npos) << reading.problem;
        EXPECT_NE(reading.problem.find("temp1_input"), std::string::npos) << "names the file";
    }
}

TEST(SensorDiscovery, SensorThatVanishesSaysSo)
{
    ScratchFolder tree;
    AddHwmon(tree, 0, "k10temp", {{"Tctl", "45000"}});
    DiscoveredSensors found = Discover(tree);
    // Gone between discovery and the first read, as when the driver is unloaded.
    unlink(tree.Path("sys/class/hwmon/hwmon0/temp1_input").c_str());
    const SensorReading reading = found.cpu->Read();
    EXPECT_FALSE(reading.valid);
    EXPECT_NE(reading.problem.find("No such file"), std::string::npos) << reading.problem;
}

TEST(SensorDiscovery, EveryReadSeesTheCurrentValue)
{
    ScratchFolder tree;
    AddHwmon(tree, 0, "coretemp", {{"Package id 0", "45000"}});
    DiscoveredSensors found = Discover(tree);
    EXPECT_TRUE(Reads(found.cpu.get(), 45.0));
    tree.Write("sys/class/hwmon/hwmon0/temp1_input", "7000\n");
    EXPECT_TRUE(Reads(found.cpu.get(), 7.0)) << "a shorter value must not keep the old tail";
}

TEST(MillidegreeValue, AcceptsTheKernelsFormatOnly)
{
    EXPECT_DOUBLE_EQ(ParseMillidegrees("45600\n").celsius, 45.6);
    EXPECT_TRUE(ParseMillidegrees("0\n").valid);
    EXPECT_TRUE(ParseMillidegrees("150000").valid);
    EXPECT_FALSE(ParseMillidegrees("150001").valid);
    EXPECT_FALSE(ParseMillidegrees("+45000").valid);
    EXPECT_FALSE(ParseMillidegrees("45.6").valid);
    EXPECT_FALSE(ParseMillidegrees("\n").valid);
}
