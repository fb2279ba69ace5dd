#include "app/device/WorkerCommands.h"
#include "app/platform/ProgramLog.h"
#include "app/update/staging/StagingFolder.h"
#include "app/update/UpdateService.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestMessageWindow.h"
#include "tests/app/update/TestServer.h"
#include "tests/app/update/TestUpdateSigner.h"
#include "tests/app/update/TestZipWriter.h"
#include "TestVersions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace
{
using Posted = TestMessageWindow::Posted;

struct Prompt
{
    std::wstring text;
    std::wstring title;
    bool yesNo;
};

class UpdateServiceTest : public ::testing::Test
{
protected:
    UpdateServiceTest() : m_work(L"kelvane-update"), m_logs(L"kelvane-update-log"), m_service(MakeHooks())
    {
        m_service.SetWindow(m_window.Handle());
        m_service.SetStagingDataFolder(m_work.Path());
        ProgramLog::Open(m_logs.Path());
    }
    ~UpdateServiceTest() override { ProgramLog::Close(); }

    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsAvailable()) << "the update_server fixture is not running";
    }

    UpdateService::Hooks MakeHooks()
    {
        UpdateService::Hooks hooks;
        hooks.readFirmwareVersion = [this](int& version)
        {
            if (m_displayVersion >= 0)
                version = m_displayVersion;
        };
        hooks.askUser = [this](const std::wstring& text, const std::wstring& title, bool yesNo)
        {
            m_prompts.push_back({text, title, yesNo});
            return m_answer;
        };
        hooks.appendCommand = [this](const UpdateCommand& command) { m_commands.push_back(command); };
        hooks.startProgram = [this](const std::wstring& path)
        {
            m_started.push_back(path);
            m_startedContent = ReadFileBytes(path);
            return m_startSucceeds;
        };
        hooks.endProgram = [this] { ++m_ended; };
        return hooks;
    }

    // Points the service at a fresh server folder of the test's own, left over from no earlier run.
    void UseServerFolder(const std::wstring& name, const std::wstring& prefix = L"")
    {
        m_folder = L"svc\\" + name + L"\\";
        RemoveTree(m_server.Root() + m_folder);
        const std::wstring url = prefix + L"/svc/" + name;
        m_service.SetBaseAddresses(m_server.Url(url + L"/q17x/software/"),
                                   m_server.Url(url + L"/q17x/firmware/"));
    }
    void PutSoftware(const std::wstring& file, const std::string& bytes)
    {
        ASSERT_TRUE(m_server.Put(m_folder + L"q17x\\software\\" + file, bytes));
    }
    void PutFirmware(const std::wstring& file, const std::string& bytes)
    {
        ASSERT_TRUE(m_server.Put(m_folder + L"q17x\\firmware\\" + file, bytes));
    }
    // The archive and its signature, made as a release is signed, over signedBytes.
    void PutSignedSoftware(const std::wstring& version, const std::string& archive,
                           const std::string& signedBytes, const std::wstring& signedVersion)
    {
        const std::wstring name = L"Software-" + version + L".zip";
        PutSoftware(name, archive);
        PutSoftware(name + L".sig", SignUpdate(UpdateKind::Software, signedVersion, signedBytes));
    }
    void PutSignedSoftware(const std::wstring& version, const std::string& archive)
    {
        PutSignedSoftware(version, archive, archive, version);
    }

    // The staging folders left below the test's data folder.
    std::vector<std::wstring> StagingFolders() const
    {
        std::vector<std::wstring> names;
        for (const auto& entry : ReadTree(StagingRootBelow(m_work.Path())))
            if (entry.second == "<dir>" && entry.first.find(L'\\') == std::wstring::npos)
                names.push_back(entry.first);
        return names;
    }

    // The WM_UPDATE_RESULT messages posted so far, as (kind, result) pairs.
    std::vector<std::pair<int, int>> TakeResults()
    {
        std::vector<std::pair<int, int>> results;
        for (const Posted& p : m_window.Drain())
        {
            if (p.message == WM_UPDATE_RESULT)
                results.emplace_back(static_cast<int>(p.wParam), static_cast<int>(p.lParam));
        }
        return results;
    }

    std::vector<std::pair<int, int>> CheckSoftware(const std::string& version, bool silent)
    {
        PutSoftware(L"version", version);
        m_service.Check(UpdateKind::Software, silent);
        return TakeResults();
    }

    // The one staging folder an update left, with its trailing backslash; empty when not one.
    std::wstring Staged() const
    {
        const auto folders = StagingFolders();
        return folders.size() == 1 ? StagingRootBelow(m_work.Path()) + folders[0] + L"\\" : std::wstring();
    }

    // The log's lines of the event given, in order.
    std::vector<std::string> LogLines(const std::string& event) const
    {
        return FileLines(m_logs.Path() + L"program.log", "] " + event + " ");
    }

    TestServer m_server;
    TestFolder m_work;
    TestFolder m_logs;
    TestMessageWindow m_window;
    UpdateService m_service;
    std::wstring m_folder;

    int m_displayVersion = -1;
    int m_answer = 1;
    bool m_startSucceeds = true;
    std::vector<Prompt> m_prompts;
    std::vector<UpdateCommand> m_commands;
    std::vector<std::wstring> m_started;
    std::string m_startedContent;
    int m_ended = 0;
};

using Results = std::vector<std::pair<int, int>>;

std::string SoftwareArchive(const std::string& version, const std::string& program)
{
    TestZipWriter zip;
    zip.AddFile("Software-" + version + ".exe", program);
    zip.AddFile("readme.txt", "read me");
    return zip.Build();
}
} // namespace

TEST_F(UpdateServiceTest, SoftwareVersionsAgainstTheProgramsOwn)
{
    UseServerFolder(L"versions");
    EXPECT_EQ(CheckSoftware(TK_TEST_NEXT_VERSION, false), (Results{{1, 1}}));
    EXPECT_EQ(m_service.LatestVersion(UpdateKind::Software), TK_TEST_NEXT_VERSION_WIDE);
    EXPECT_EQ(CheckSoftware(TK_VERSION_TEXT, false), (Results{{1, 0}}));
    EXPECT_EQ(CheckSoftware("1.0.0.9", false), (Results{{1, 0}}));
    EXPECT_EQ(CheckSoftware("1.0.1", false), (Results{{1, 1}}));
    // Fewer parts are not newer: "1.0" is 1.0.0.0, below the installed version.
    EXPECT_EQ(CheckSoftware("1.0", false), (Results{{1, 0}}));
    EXPECT_EQ(CheckSoftware("1.0.0.19.1", false), Results{});

    // Silent checks answer only when there is something new.
    EXPECT_EQ(CheckSoftware(TK_VERSION_TEXT, true), Results{});
    EXPECT_EQ(CheckSoftware("1.0.0.9", true), Results{});
    EXPECT_EQ(CheckSoftware(TK_TEST_LATER_VERSION, true), (Results{{1, 1}}));
}

TEST_F(UpdateServiceTest, LineBreaksAreNotPartOfTheVersion)
{
    UseServerFolder(L"linebreak");
    EXPECT_EQ(CheckSoftware(TK_TEST_NEXT_VERSION "\n", false), (Results{{1, 1}}));
    EXPECT_EQ(m_service.LatestVersion(UpdateKind::Software), TK_TEST_NEXT_VERSION_WIDE);
    EXPECT_EQ(CheckSoftware("1.0.0.200\r\n", false), (Results{{1, 1}}));
    EXPECT_EQ(m_service.LatestVersion(UpdateKind::Software), L"1.0.0.200");
}

TEST_F(UpdateServiceTest, UnusableVersionFilesEndTheCheckSilently)
{
    UseServerFolder(L"unusable");
    EXPECT_EQ(CheckSoftware(TK_TEST_NEXT_VERSION, false), (Results{{1, 1}}));
    EXPECT_EQ(CheckSoftware("1.0.0.20.11", false), Results{});
    EXPECT_EQ(CheckSoftware("", false), Results{});
    EXPECT_EQ(CheckSoftware("..\\..\\x", false), Results{});
    EXPECT_EQ(CheckSoftware(std::string("\0" TK_TEST_LATER_VERSION, 9), false), Results{});
    // The server's "Not Found" page must not be offered as version "Not Found".
    m_service.SetBaseAddresses(m_server.Url(L"/status/404/q17x/software/"),
                               m_server.Url(L"/status/404/q17x/firmware/"));
    m_service.Check(UpdateKind::Software, false);
    EXPECT_EQ(TakeResults(), Results{});
    m_service.SetBaseAddresses(L"http://127.0.0.1:1/q17x/software/", L"http://127.0.0.1:1/q17x/firmware/");
    m_service.Check(UpdateKind::Software, false);
    EXPECT_EQ(TakeResults(), Results{});
    // The last good text stays the latest version.
    EXPECT_EQ(m_service.LatestVersion(UpdateKind::Software), TK_TEST_NEXT_VERSION_WIDE);
}

TEST_F(UpdateServiceTest, FirmwareVersionsAgainstTheDisplays)
{
    UseServerFolder(L"firmware");
    m_displayVersion = 0x0103;
    PutFirmware(L"version", "104");
    m_service.Check(UpdateKind::Firmware, false);
    EXPECT_EQ(TakeResults(), (Results{{2, 1}}));
    EXPECT_EQ(m_service.LatestVersion(UpdateKind::Firmware), L"104");
    PutFirmware(L"version", "103\r\n");
    m_service.Check(UpdateKind::Firmware, false);
    EXPECT_EQ(TakeResults(), (Results{{2, 0}}));
    m_service.Check(UpdateKind::Firmware, true);
    EXPECT_EQ(TakeResults(), Results{});

    // 0x01A0 reads as "1a0", which states no version: nothing is newer than it.
    m_displayVersion = 0x01A0;
    PutFirmware(L"version", "2");
    m_service.Check(UpdateKind::Firmware, false);
    EXPECT_EQ(TakeResults(), (Results{{2, 0}}));

    // No display: current, and said so only when asked.
    m_displayVersion = -1;
    PutFirmware(L"version", "999");
    m_service.Check(UpdateKind::Firmware, false);
    EXPECT_EQ(TakeResults(), (Results{{2, 0}}));
    m_service.Check(UpdateKind::Firmware, true);
    EXPECT_EQ(TakeResults(), Results{});

    // Each check starts by forgetting the last version.
    PutFirmware(L"version", "too long text");
    m_service.Check(UpdateKind::Firmware, false);
    EXPECT_EQ(TakeResults(), Results{});
    EXPECT_EQ(m_service.LatestVersion(UpdateKind::Firmware), L"");
}

TEST_F(UpdateServiceTest, PromptsTellOrAskAndQueueTheDownload)
{
    UseServerFolder(L"prompts");
    CheckSoftware(TK_TEST_NEXT_VERSION, false);
    PutFirmware(L"version", "104");
    m_displayVersion = 0x0103;
    m_service.Check(UpdateKind::Firmware, false);
    TakeResults();

    m_answer = 1;
    EXPECT_EQ(m_service.OnUpdateResult(1, 0), 0);
    EXPECT_EQ(m_service.OnUpdateResult(1, 1), 0);
    EXPECT_EQ(m_service.OnUpdateResult(2, 0), 0);
    EXPECT_EQ(m_service.OnUpdateResult(2, 1), 0);
    m_answer = 2;
    m_service.OnUpdateResult(1, 1);
    m_answer = 0;
    m_service.OnUpdateResult(2, 1);
    m_service.OnUpdateResult(3, 1);
    m_service.OnUpdateResult(0, 0);
    m_service.OnUpdateResult(1, UpdateService::kNotInstalled);

    ASSERT_EQ(m_prompts.size(), 7u);
    const std::wstring software = L"Tarvik Kelvane Software Updates";
    const std::wstring firmware = L"Tarvik Kelvane Firmware Updates";
    EXPECT_EQ(m_prompts[0].text, L"The software is the latest version!");
    EXPECT_EQ(m_prompts[0].title, software);
    EXPECT_FALSE(m_prompts[0].yesNo);
    EXPECT_EQ(m_prompts[1].text, L"Detected the latest version:v" TK_TEST_NEXT_VERSION_WIDE L", update now?");
    EXPECT_EQ(m_prompts[1].title, software);
    EXPECT_TRUE(m_prompts[1].yesNo);
    EXPECT_EQ(m_prompts[2].text, L"The Firmware is the latest version!");
    EXPECT_EQ(m_prompts[2].title, firmware);
    EXPECT_FALSE(m_prompts[2].yesNo);
    EXPECT_EQ(m_prompts[3].text, L"Detected the latest version:v104, update now?");
    EXPECT_EQ(m_prompts[3].title, firmware);
    EXPECT_TRUE(m_prompts[3].yesNo);
    EXPECT_EQ(m_prompts[6].text, L"The update could not be installed.");
    EXPECT_EQ(m_prompts[6].title, software);
    EXPECT_FALSE(m_prompts[6].yesNo);
    // Only the two confirmed questions queued downloads, each of the version asked about.
    ASSERT_EQ(m_commands.size(), 2u);
    EXPECT_EQ(m_commands[0].id, CMD_UPDATE_SOFTWARE);
    EXPECT_EQ(m_commands[0].version, TK_TEST_NEXT_VERSION_WIDE);
    EXPECT_EQ(m_commands[1].id, CMD_UPDATE_FIRMWARE);
    EXPECT_EQ(m_commands[1].version, L"104");
}

TEST_F(UpdateServiceTest, CommandsReachTheirOperations)
{
    UseServerFolder(L"commands");
    PutSoftware(L"version", TK_VERSION_TEXT);
    PutFirmware(L"version", "104");
    m_displayVersion = 0x0103;
    for (int command :
         {CMD_CHECK_SOFTWARE, CMD_CHECK_SOFTWARE_SILENT, CMD_CHECK_FIRMWARE, CMD_CHECK_FIRMWARE_SILENT})
        EXPECT_TRUE(m_service.RunCommand({command, {}}));
    EXPECT_EQ(TakeResults(), (Results{{1, 0}, {2, 1}, {2, 1}}));
    for (int command : {CMD_SCAN_DEVICES, 2, 9})
        EXPECT_FALSE(m_service.RunCommand({command, {}}));
}

TEST_F(UpdateServiceTest, UpdateDownloadsChecksUnpacksStartsAndEnds)
{
    UseServerFolder(L"run");
    // Signed over the text as served, as a release is: the line break included.
    PutSoftware(L"version", TK_TEST_NEXT_VERSION "\n");
    const std::string archive = SoftwareArchive(TK_TEST_NEXT_VERSION, "MZ installer");
    PutSignedSoftware(TK_TEST_NEXT_VERSION_WIDE, archive, archive, TK_TEST_NEXT_VERSION_WIDE L"\n");
    m_service.Check(UpdateKind::Software, true);
    TakeResults();

    EXPECT_TRUE(m_service.RunCommand({CMD_UPDATE_SOFTWARE, TK_TEST_NEXT_VERSION_WIDE}));
    EXPECT_FALSE(m_service.LastFailure());
    const std::wstring staged = Staged();
    ASSERT_FALSE(staged.empty()) << "one staging folder, kept for the installer";
    EXPECT_EQ(m_started,
              (std::vector<std::wstring>{staged + L"Software-" TK_TEST_NEXT_VERSION_WIDE L".exe"}));
    EXPECT_EQ(m_startedContent, "MZ installer");
    EXPECT_EQ(m_ended, 1);
    EXPECT_FALSE(PathExists(staged + L"Software-" TK_TEST_NEXT_VERSION_WIDE L".zip"));
    EXPECT_EQ(ReadFileBytes(staged + L"readme.txt"), "read me");

    auto posted = m_window.Drain();
    ASSERT_FALSE(posted.empty());
    EXPECT_TRUE(std::none_of(posted.begin(), posted.end(),
                             [](const Posted& p) { return p.message == WM_UPDATE_RESULT; }));
    EXPECT_EQ(posted.back().message, WM_TRAY_NOTIFY) << "download progress";
    EXPECT_EQ(posted.back().lParam, 100);

    const auto log = m_server.Log();
    for (const char* request : {"GET /svc/run/q17x/software///Software-" TK_TEST_NEXT_VERSION ".zip ",
                                "GET /svc/run/q17x/software///Software-" TK_TEST_NEXT_VERSION ".zip.sig "})
        EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                                [request](const std::string& l)
                                { return l.find(request) != std::string::npos; }))
            << request;

    // A new start clears what the installer left.
    RemoveLeftoverStagingFoldersBelow(m_work.Path());
    EXPECT_TRUE(StagingFolders().empty());
}

TEST_F(UpdateServiceTest, FirmwareUpdateUsesTheToolsNamesAndKind)
{
    UseServerFolder(L"tool");
    PutFirmware(L"version", "104");
    TestZipWriter zip;
    zip.AddFile("FirmwareUpdateTool-104.exe", "MZ tool");
    const std::string archive = zip.Build();
    PutFirmware(L"FirmwareUpdateTool-104.zip", archive);
    m_displayVersion = 0x0103;
    m_service.Check(UpdateKind::Firmware, true);

    // Signed as software: refused.
    PutFirmware(L"FirmwareUpdateTool-104.zip.sig", SignUpdate(UpdateKind::Software, L"104", archive));
    EXPECT_FALSE(m_service.RunUpdate(UpdateKind::Firmware, L"104"));
    EXPECT_EQ(m_service.LastFailure().step, UpdateStep::Signature);
    EXPECT_TRUE(m_started.empty());

    PutFirmware(L"FirmwareUpdateTool-104.zip.sig", SignUpdate(UpdateKind::Firmware, L"104", archive));
    EXPECT_TRUE(m_service.RunUpdate(UpdateKind::Firmware, L"104"));
    EXPECT_EQ(m_started, (std::vector<std::wstring>{Staged() + L"FirmwareUpdateTool-104.exe"}));
    EXPECT_EQ(m_ended, 1);
}

TEST_F(UpdateServiceTest, FailedUpdatesStartNothingKeepNothingAndSaySo)
{
    UseServerFolder(L"broken");
    PutSoftware(L"version", TK_TEST_NEXT_VERSION);
    m_service.Check(UpdateKind::Software, true);
    TakeResults();
    const std::string good = SoftwareArchive(TK_TEST_NEXT_VERSION, "MZ");
    std::string tampered = good;
    tampered[tampered.size() / 2] ^= 0x01;

    struct Case
    {
        const char* what;
        std::function<void()> serve;
        UpdateStep refusedAt;
        unsigned long httpStatus;
    };
    const std::vector<Case> cases = {
        {"nothing on the server", [] {}, UpdateStep::Download, 404},
        {"no signature", [&] { PutSoftware(L"Software-" TK_TEST_NEXT_VERSION_WIDE L".zip", good); },
         UpdateStep::SignatureFile, 404},
        {"one flipped bit in the archive",
         [&] { PutSignedSoftware(TK_TEST_NEXT_VERSION_WIDE, tampered, good, TK_TEST_NEXT_VERSION_WIDE); },
         UpdateStep::Signature, 0},
        {"signed for another version",
         [&] { PutSignedSoftware(TK_TEST_NEXT_VERSION_WIDE, good, good, TK_TEST_LATER_VERSION_WIDE); },
         UpdateStep::Signature, 0},
        {"a 65-byte signature",
         [&]
         {
             PutSoftware(L"Software-" TK_TEST_NEXT_VERSION_WIDE L".zip", good);
             PutSoftware(L"Software-" TK_TEST_NEXT_VERSION_WIDE L".zip.sig",
                         SignUpdate(UpdateKind::Software, TK_TEST_NEXT_VERSION_WIDE, good) + "x");
         },
         UpdateStep::Signature, 0},
        {"a signed archive that is no zip",
         [&] { PutSignedSoftware(TK_TEST_NEXT_VERSION_WIDE, "PK\x03\x04 this is no archive"); },
         UpdateStep::Extract, 0},
        {"a signed archive without the program",
         [&]
         {
             TestZipWriter other;
             other.AddFile("Software-" TK_TEST_LATER_VERSION ".exe", "MZ");
             PutSignedSoftware(TK_TEST_NEXT_VERSION_WIDE, other.Build());
         },
         UpdateStep::Installer, 0},
        {"the server offers another version by now",
         [&]
         {
             PutSignedSoftware(TK_TEST_NEXT_VERSION_WIDE, good);
             PutSoftware(L"version", TK_TEST_LATER_VERSION);
         },
         UpdateStep::VersionText, 200},
        {"the server's version text is gone", [&] { RemoveTree(m_server.Root() + m_folder); },
         UpdateStep::VersionText, 404},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        UseServerFolder(L"broken");
        PutSoftware(L"version", TK_TEST_NEXT_VERSION);
        c.serve();
        EXPECT_FALSE(m_service.RunUpdate(UpdateKind::Software, TK_TEST_NEXT_VERSION_WIDE));
        EXPECT_EQ(UpdateStepName(m_service.LastFailure().step), std::string(UpdateStepName(c.refusedAt)));
        EXPECT_EQ(m_service.LastFailure().httpStatus, c.httpStatus);
        EXPECT_EQ(TakeResults(), (Results{{1, 2}}));
        EXPECT_TRUE(StagingFolders().empty()) << "the staging folder is removed";
        EXPECT_TRUE(m_started.empty());
    }

    // The program is there, but the shell could not start it.
    PutSoftware(L"version", TK_TEST_NEXT_VERSION);
    PutSignedSoftware(TK_TEST_NEXT_VERSION_WIDE, good);
    m_startSucceeds = false;
    EXPECT_FALSE(m_service.RunUpdate(UpdateKind::Software, TK_TEST_NEXT_VERSION_WIDE));
    EXPECT_EQ(m_service.LastFailure().step, UpdateStep::Installer);
    EXPECT_EQ(TakeResults(), (Results{{1, 2}}));
    EXPECT_EQ(m_started.size(), 1u);
    EXPECT_TRUE(StagingFolders().empty());
    EXPECT_EQ(m_ended, 0);

    // Each failure left its line: the step that refused, with the server's status.
    const auto lines = LogLines("update");
    ASSERT_EQ(lines.size(), cases.size() + 1);
    EXPECT_NE(lines[0].find("result=failed step=download http=404 "), std::string::npos) << lines[0];
    EXPECT_NE(lines[2].find("result=failed step=signature http=0 "), std::string::npos) << lines[2];
    EXPECT_NE(lines[7].find("step=version-text http=200 system=0 detail=server now offers"),
              std::string::npos);
}

TEST_F(UpdateServiceTest, BrokenDownloadsAreNotUnpacked)
{
    // Each path's first answer breaks off half-way: the check's version text, then the archive. The
    // update's own request for the version text comes whole.
    UseServerFolder(L"cut", L"/once/drop");
    PutSoftware(L"version", TK_TEST_NEXT_VERSION);
    PutSignedSoftware(TK_TEST_NEXT_VERSION_WIDE,
                      SoftwareArchive(TK_TEST_NEXT_VERSION, std::string(200000, 'x')));
    m_service.Check(UpdateKind::Software, true);
    EXPECT_EQ(TakeResults(), Results{});
    EXPECT_FALSE(m_service.RunUpdate(UpdateKind::Software, TK_TEST_NEXT_VERSION_WIDE));
    EXPECT_EQ(m_service.LastFailure().step, UpdateStep::Download);
    EXPECT_TRUE(StagingFolders().empty());
    EXPECT_TRUE(m_started.empty());
    EXPECT_EQ(m_ended, 0);
    EXPECT_EQ(TakeResults(), (Results{{1, 2}}));
    EXPECT_NE(LogLines("update-check")[0].find("result=failed step=version-text"), std::string::npos);
}

TEST_F(UpdateServiceTest, TheAnswerInstallsTheVersionAskedAboutWhateverChecksFindMeanwhile)
{
    UseServerFolder(L"answer");
    TestZipWriter zip;
    zip.AddFile("FirmwareUpdateTool-104.exe", "MZ tool");
    const std::string archive = zip.Build();
    PutFirmware(L"FirmwareUpdateTool-104.zip", archive);
    PutFirmware(L"FirmwareUpdateTool-104.zip.sig", SignUpdate(UpdateKind::Firmware, L"104", archive));
    PutFirmware(L"version", "104");
    m_displayVersion = 0x0103;
    m_service.Check(UpdateKind::Firmware, true);
    ASSERT_EQ(TakeResults(), (Results{{2, 1}}));
    // Before the question is answered, another check finds nothing usable and one finds the
    // installed version: neither changes the question nor the answer.
    PutFirmware(L"version", "broken");
    m_service.Check(UpdateKind::Firmware, true);
    PutFirmware(L"version", "103");
    m_service.Check(UpdateKind::Firmware, true);
    EXPECT_EQ(TakeResults(), Results{});
    m_service.OnUpdateResult(2, UpdateService::kAvailable);
    ASSERT_EQ(m_prompts.size(), 1u);
    EXPECT_EQ(m_prompts[0].text, L"Detected the latest version:v104, update now?");
    ASSERT_EQ(m_commands.size(), 1u);

    // Offered again by the time the update runs: installed.
    PutFirmware(L"version", "104\n");
    PutFirmware(L"FirmwareUpdateTool-104.zip.sig", SignUpdate(UpdateKind::Firmware, L"104\n", archive));
    EXPECT_TRUE(m_service.RunCommand(m_commands[0]));
    EXPECT_EQ(m_started, (std::vector<std::wstring>{Staged() + L"FirmwareUpdateTool-104.exe"}));
    const auto answers = LogLines("update-answer");
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_NE(answers[0].find("kind=firmware version=\"104\" answer=yes"), std::string::npos);

    // No version answered: nothing to fetch.
    EXPECT_FALSE(m_service.RunUpdate(UpdateKind::Firmware, L""));
    EXPECT_EQ(m_service.LastFailure().step, UpdateStep::VersionText);
    EXPECT_EQ(TakeResults(), (Results{{2, 2}}));
}
