#include "app/platform/ProgramLog.h"
#include "app/platform/LogLine.h"
#include "tests/app/update/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <thread>
#include <vector>

namespace
{
class ProgramLogTest : public ::testing::Test
{
protected:
    ProgramLogTest() : m_folder(L"kelvane-log") {}
    ~ProgramLogTest() override { ProgramLog::Close(); }

    std::wstring CurrentPath() const { return m_folder.Path() + L"program.log"; }
    std::wstring OldPath() const { return m_folder.Path() + L"program.1.log"; }

    TestFolder m_folder;
};
} // namespace

TEST_F(ProgramLogTest, LinesCarryTimeThreadEventAndDetails)
{
    ProgramLog::Write("before-open", "dropped");
    ASSERT_TRUE(ProgramLog::Open(m_folder.Path()));
    EXPECT_EQ(ProgramLog::Path(), m_folder.Path() + L"program.log");
    ProgramLog::NameThisThread("ui");
    ProgramLog::Write("start", "version=1.0.0.19 args=\"-hide\"\r\n");
    std::thread([] { ProgramLog::Write("unnamed", ""); }).join();
    ProgramLog::Close();
    ProgramLog::Write("after-close", "dropped");

    const auto lines = FileLines(CurrentPath());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::regex_match(
        lines[0], std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d "
                             "\\[ui\\] start version=1\\.0\\.0\\.19 args=\"-hide\"\\\\r\\\\n")))
        << lines[0];
    EXPECT_TRUE(std::regex_search(lines[1], std::regex(" \\[thread-\\d+\\] unnamed$"))) << lines[1];
}

TEST_F(ProgramLogTest, TenThousandEventsStayWithinTwoFiles)
{
    ASSERT_TRUE(ProgramLog::Open(m_folder.Path()));
    const std::string details(300, 'd');
    for (int i = 0; i < 10000; ++i)
        ProgramLog::Write("event", "n=" + std::to_string(i) + " " + details);
    ProgramLog::Close();

    unsigned long long total = 0;
    for (const auto& entry : ReadTree(m_folder.Path()))
    {
        EXPECT_TRUE(entry.first == L"program.log" || entry.first == L"program.1.log");
        EXPECT_LE(entry.second.size(), ProgramLog::kRotateBytes);
        total += entry.second.size();
    }
    EXPECT_LE(total, 2ULL * 1024 * 1024);
    // The newest line is the last event, and the old file ends where the current one begins.
    const auto current = FileLines(CurrentPath());
    const auto old = FileLines(OldPath());
    ASSERT_FALSE(current.empty());
    ASSERT_FALSE(old.empty());
    EXPECT_NE(current.back().find(" event n=9999 "), std::string::npos);
    const auto number = [](const std::string& line) { return std::stoi(line.substr(line.find("n=") + 2)); };
    EXPECT_EQ(number(old.back()) + 1, number(current.front()));
    EXPECT_GT(ReadFileBytes(OldPath()).size(), ProgramLog::kRotateBytes - kMaxLogLineBytes)
        << "rotated only when full";
}

TEST_F(ProgramLogTest, AnOldFileHeldOpenStillLeavesTheBound)
{
    ASSERT_TRUE(WriteFileBytes(m_folder.Path() + L"program.1.log", "held\n"));
    HANDLE held = CreateFileW((m_folder.Path() + L"program.1.log").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(ProgramLog::Open(m_folder.Path()));
    for (int i = 0; i < 4000; ++i)
        ProgramLog::Write("event", std::string(300, 'd'));
    ProgramLog::Close();
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(OldPath()), "held\n");
    EXPECT_LE(ReadFileBytes(CurrentPath()).size(), ProgramLog::kRotateBytes);
    EXPECT_FALSE(FileLines(CurrentPath()).empty());
}

TEST_F(ProgramLogTest, ThreadsWritingAtOnceKeepEveryLineWhole)
{
    ASSERT_TRUE(ProgramLog::Open(m_folder.Path()));
    std::vector<std::thread> threads;
    for (char t = 'a'; t <= 'd'; ++t)
        threads.emplace_back(
            [t]
            {
                ProgramLog::NameThisThread(std::string(1, t));
                for (int i = 0; i < 200; ++i)
                    ProgramLog::Write("tick", std::string(50, t));
            });
    for (auto& thread : threads)
        thread.join();
    const auto lines = FileLines(CurrentPath());
    EXPECT_EQ(lines.size(), 800u);
    for (const auto& line : lines)
        EXPECT_TRUE(std::regex_search(line, std::regex(" \\[([a-d])\\] tick \\1{50}$"))) << line;
}

TEST_F(ProgramLogTest, AFileThatCannotBeWrittenCostsNothingAndIsCounted)
{
    // A folder where the log file should be: every open fails.
    ASSERT_TRUE(CreateDirectoryW((m_folder.Path() + L"program.log").c_str(), nullptr));
    EXPECT_FALSE(ProgramLog::Open(m_folder.Path()));
    for (int i = 0; i < 1000; ++i)
        ProgramLog::Write("lost", "x");

    // Once the file can be written, the loss is said before the next line.
    RemoveDirectoryW((m_folder.Path() + L"program.log").c_str());
    ASSERT_TRUE(ProgramLog::Open(m_folder.Path()));
    ProgramLog::Write("found", "");
    const auto lines = FileLines(CurrentPath());
    ASSERT_EQ(lines.size(), 1u) << "the count starts again with each Open";
    EXPECT_NE(lines[0].find("found"), std::string::npos);
}

TEST_F(ProgramLogTest, APlantedLinkIsNotWrittenThrough)
{
    TestFolder elsewhere(L"kelvane-log-target");
    ASSERT_TRUE(WriteFileBytes(elsewhere.Path() + L"victim.txt", "keep"));
    TestLink link(elsewhere.Path() + L"victim.txt", m_folder.Path() + L"program.log", false);
    ASSERT_TRUE(link.Made());
    EXPECT_FALSE(ProgramLog::Open(m_folder.Path()));
    ProgramLog::Write("event", "must not land in the target");
    EXPECT_EQ(ReadFileBytes(elsewhere.Path() + L"victim.txt"), "keep");
}
