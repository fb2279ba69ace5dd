// The update flow of a build without an update key: a manual check says updates are off, silent
// checks and downloads do nothing, and the server is never asked.
// This definition stands in for the build option left empty.
#include "app/update/trust/UpdatePublicKey.h"

#include "app/device/WorkerCommands.h"
#include "app/update/UpdateService.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestMessageWindow.h"
#include "tests/app/update/TestServer.h"
#include "TestVersions.h"

#include <gtest/gtest.h>

#include <algorithm>

std::string UpdatePublicKeyHex()
{
    return "";
}

TEST(UpdateServiceWithoutKey, ManualChecksSayUpdatesAreOffAndNothingIsFetched)
{
    TestServer server;
    ASSERT_TRUE(server.IsAvailable()) << "the update_server fixture is not running";
    TestFolder data(L"kelvane-nokey");
    TestMessageWindow window;
    std::vector<std::wstring> prompts;
    UpdateService::Hooks hooks;
    hooks.askUser = [&prompts](const std::wstring& text, const std::wstring& title, bool)
    {
        prompts.push_back(title + L": " + text);
        return 1;
    };
    hooks.readFirmwareVersion = [](int& version) { version = 0x0103; };
    int started = 0;
    hooks.startProgram = [&started](const std::wstring&) { return ++started > 0; };
    UpdateService service(hooks);
    service.SetWindow(window.Handle());
    service.SetStagingDataFolder(data.Path());
    service.SetBaseAddresses(server.Url(L"/nokey/q17x/software/"), server.Url(L"/nokey/q17x/firmware/"));
    ASSERT_TRUE(server.Put(L"nokey\\q17x\\software\\version", TK_TEST_NEXT_VERSION));
    ASSERT_TRUE(server.Put(L"nokey\\q17x\\firmware\\version", "104"));

    for (int command : {CMD_CHECK_SOFTWARE_SILENT, CMD_CHECK_FIRMWARE_SILENT, CMD_CHECK_SOFTWARE,
                        CMD_CHECK_FIRMWARE, CMD_UPDATE_SOFTWARE})
        EXPECT_TRUE(service.RunCommand({command, TK_TEST_NEXT_VERSION_WIDE}));
    std::vector<std::pair<WPARAM, LPARAM>> results;
    for (const auto& posted : window.Drain())
        if (posted.message == WM_UPDATE_RESULT)
            results.emplace_back(posted.wParam, posted.lParam);
    EXPECT_EQ(results, (std::vector<std::pair<WPARAM, LPARAM>>{{1, UpdateService::kSwitchedOff},
                                                               {2, UpdateService::kSwitchedOff},
                                                               {1, UpdateService::kSwitchedOff}}));
    for (const auto& result : results)
        service.OnUpdateResult(result.first, result.second);
    EXPECT_EQ(prompts, (std::vector<std::wstring>{
                           L"Tarvik Kelvane Software Updates: Updates are switched off in this build.",
                           L"Tarvik Kelvane Firmware Updates: Updates are switched off in this build.",
                           L"Tarvik Kelvane Software Updates: Updates are switched off in this build."}));

    EXPECT_EQ(started, 0);
    EXPECT_FALSE(PathExists(data.Path() + L"Tarvik Kelvane")) << "no staging folder was made";
    const auto log = server.Log();
    EXPECT_TRUE(std::none_of(log.begin(), log.end(),
                             [](const std::string& line)
                             { return line.find("/nokey/") != std::string::npos; }));
}
