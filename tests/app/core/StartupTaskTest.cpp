#include "app/core/StartupTask.h"

#include "tests/app/core/CapturedStream.h"
#include "tests/app/core/RecordingTaskScheduler.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <thread>

namespace
{
const wchar_t kFolder[] = L"C:\\Program Files\\Kelvane\\";

const std::vector<std::string> kFullSequence = {
    "CreateService",
    "ITaskService::Connect(0, 0, 0, 0)",
    "ITaskService::GetFolder(\\)",
    "ITaskService::NewTask(0)",
    "ITaskDefinition::get_Triggers",
    "ITriggerCollection::Create(9)",
    "ITrigger::put_Id(Administrator)",
    "ITaskDefinition::get_Principal",
    "IPrincipal::put_RunLevel(1)",
    "ITaskDefinition::get_Settings",
    "ITaskSettings::put_StopIfGoingOnBatteries(false)",
    "ITaskSettings::put_DisallowStartIfOnBatteries(false)",
    "ITaskSettings::put_AllowDemandStart(true)",
    "ITaskSettings::put_StartWhenAvailable(false)",
    "ITaskSettings::put_MultipleInstances(0)",
    "ITaskSettings::put_ExecutionTimeLimit(PT0S)",
    "ITaskDefinition::get_Actions",
    "IActionCollection::Create(0)",
    "IAction::QueryInterface(IExecAction)",
    "IExecAction::put_Path(C:\\Program Files\\Kelvane\\Tarvik Kelvane.exe)",
    "IExecAction::put_Arguments(-hide)",
    "ITaskFolder::RegisterTaskDefinition(KELVANE StartupTask, 6, 3)",
};

// True when the calling thread has no COM apartment left, i.e. every join was undone.
bool ThreadLeftCom()
{
    const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(joined))
        CoUninitialize();
    return joined == S_OK;
}

void ExpectTheOneLogonTask(const RecordingTaskScheduler& scheduler, const std::wstring& exePath)
{
    ASSERT_EQ(scheduler.rootTasks.size(), 1u);
    const auto found = scheduler.rootTasks.find(L"KELVANE StartupTask");
    ASSERT_NE(found, scheduler.rootTasks.end());
    const RegisteredTask& task = found->second;
    const RecordedDefinition& d = task.definition;

    ASSERT_EQ(d.triggers.size(), 1u);
    EXPECT_EQ(d.triggers[0].type, TASK_TRIGGER_LOGON);
    EXPECT_EQ(d.triggers[0].id, L"Administrator");
    EXPECT_EQ(d.triggers[0].userId, L"") << "any user logs on";

    EXPECT_EQ(d.runLevel, TASK_RUNLEVEL_HIGHEST);
    EXPECT_EQ(d.principalUserId, L"");

    EXPECT_FALSE(d.stopIfGoingOnBatteries);
    EXPECT_FALSE(d.disallowStartIfOnBatteries);
    EXPECT_TRUE(d.allowDemandStart);
    EXPECT_FALSE(d.startWhenAvailable);
    EXPECT_EQ(d.multipleInstances, TASK_INSTANCES_PARALLEL);
    EXPECT_EQ(d.executionTimeLimit, L"PT0S");

    ASSERT_EQ(d.actions.size(), 1u);
    EXPECT_EQ(d.actions[0].type, TASK_ACTION_EXEC);
    EXPECT_EQ(d.actions[0].path, exePath);
    EXPECT_EQ(d.actions[0].arguments, L"-hide");
    EXPECT_EQ(d.actions[0].workingDirectory, L"");

    EXPECT_EQ(task.flags, TASK_CREATE_OR_UPDATE);
    EXPECT_EQ(task.userType, VT_EMPTY);
    EXPECT_EQ(task.passwordType, VT_EMPTY);
    EXPECT_EQ(task.logonType, TASK_LOGON_INTERACTIVE_TOKEN);
    EXPECT_EQ(task.securityType, VT_BSTR);
    EXPECT_EQ(task.security, L"");
}
} // namespace

TEST(StartupTask, RegistersTheElevatedLogonTaskInOrder)
{
    RecordingTaskScheduler scheduler;
    CapturedStream errors;

    EXPECT_EQ(RegisterStartupTaskWith(scheduler.Factory(), kFolder, errors.File()), 0);

    EXPECT_EQ(scheduler.calls, kFullSequence);
    ExpectTheOneLogonTask(scheduler, L"C:\\Program Files\\Kelvane\\Tarvik Kelvane.exe");
    EXPECT_EQ(errors.Text(), "");
    EXPECT_EQ(scheduler.liveObjects, 0) << "every interface is released";
    EXPECT_TRUE(ThreadLeftCom());
}

TEST(StartupTask, SecondStartReplacesTheTaskAndAMovedFolderUpdatesThePath)
{
    RecordingTaskScheduler scheduler;
    CapturedStream errors;

    EXPECT_EQ(RegisterStartupTaskWith(scheduler.Factory(), kFolder, errors.File()), 0);
    EXPECT_EQ(RegisterStartupTaskWith(scheduler.Factory(), kFolder, errors.File()), 0);
    ExpectTheOneLogonTask(scheduler, L"C:\\Program Files\\Kelvane\\Tarvik Kelvane.exe");

    EXPECT_EQ(RegisterStartupTaskWith(scheduler.Factory(), L"D:\\Moved\\", errors.File()), 0);
    ExpectTheOneLogonTask(scheduler, L"D:\\Moved\\Tarvik Kelvane.exe");

    EXPECT_EQ(scheduler.servicesCreated, 3);
    EXPECT_EQ(errors.Text(), "");
    EXPECT_EQ(scheduler.liveObjects, 0);
}

struct FailingStep
{
    const char* call;
    HRESULT code;
    const char* line;
    int result;
};

class StartupTaskFailure : public testing::TestWithParam<FailingStep>
{
};

TEST_P(StartupTaskFailure, PrintsTheStepsLineReleasesEverythingAndStops)
{
    const FailingStep& step = GetParam();
    RecordingTaskScheduler scheduler;
    scheduler.FailCall(step.call, step.code);
    CapturedStream errors;

    EXPECT_EQ(RegisterStartupTaskWith(scheduler.Factory(), kFolder, errors.File()), step.result);

    EXPECT_EQ(errors.Text(), step.line);
    ASSERT_FALSE(scheduler.calls.empty());
    EXPECT_EQ(scheduler.calls.back().rfind(step.call, 0), 0u) << "nothing is called after the failing step";
    EXPECT_TRUE(scheduler.rootTasks.empty());
    EXPECT_EQ(scheduler.liveObjects, 0) << "every interface obtained so far is released";
    EXPECT_TRUE(ThreadLeftCom()) << "COM is uninitialised on the failure path";
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheckedStep, StartupTaskFailure,
    testing::Values(FailingStep{"CreateService", REGDB_E_CLASSNOTREG,
                                "Failed to create Task Scheduler instance with HRESULT: 0x80040154\n", 1},
                    FailingStep{"ITaskService::Connect", E_ACCESSDENIED,
                                "Failed to connect to Task Scheduler service with HRESULT: 0x80070005\n", 1},
                    FailingStep{"ITaskService::GetFolder", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
                                "Failed to get root folder with HRESULT: 0x80070002\n", 1},
                    FailingStep{"ITaskService::NewTask", E_OUTOFMEMORY,
                                "Failed to create new task with HRESULT: 0x8007000e\n", 1},
                    FailingStep{"ITaskDefinition::get_Triggers", E_FAIL,
                                "Failed to get trigger collection with HRESULT: 0x80004005\n", 1},
                    FailingStep{"ITriggerCollection::Create", E_NOTIMPL,
                                "Failed to create trigger with HRESULT: 0x80004001\n", 1},
                    FailingStep{"ITrigger::put_Id", E_INVALIDARG,
                                "Failed to set trigger ID with HRESULT: 0x80070057\n", 1},
                    FailingStep{"ITaskDefinition::get_Principal", E_FAIL,
                                "Failed to get principal with HRESULT: 0x80004005\n", 1},
                    FailingStep{"IPrincipal::put_RunLevel", E_ACCESSDENIED,
                                "Failed to set run level with HRESULT: 0x80070005\n", 1},
                    FailingStep{"ITaskDefinition::get_Actions", E_FAIL,
                                "Failed to get action collection with HRESULT: 0x80004005\n", 1},
                    FailingStep{"IActionCollection::Create", E_NOTIMPL,
                                "Failed to create action with HRESULT: 0x80004001\n", 1},
                    FailingStep{"IAction::QueryInterface", E_NOINTERFACE,
                                "Failed to query exec action interface with HRESULT: 0x80004002\n", 1},
                    FailingStep{"IExecAction::put_Path", E_INVALIDARG,
                                "Failed to set executable path with HRESULT: 0x80070057\n", 1},
                    FailingStep{"IExecAction::put_Arguments", E_INVALIDARG,
                                "Failed to set command line arguments with HRESULT: 0x80070057\n", 1},
                    // The registration was reached, so the result is 0 even though it failed.
                    FailingStep{"ITaskFolder::RegisterTaskDefinition", E_ACCESSDENIED,
                                "Failed to register task definition with HRESULT: 0x80070005\n", 0}));

TEST(StartupTask, SettingsFailuresAreIgnored)
{
    {
        RecordingTaskScheduler scheduler;
        scheduler.FailCall("ITaskDefinition::get_Settings", E_FAIL);
        CapturedStream errors;
        EXPECT_EQ(RegisterStartupTaskWith(scheduler.Factory(), kFolder, errors.File()), 0);
        EXPECT_EQ(errors.Text(), "");
        EXPECT_EQ(scheduler.rootTasks.size(), 1u) << "the task is registered without its settings";
        EXPECT_EQ(scheduler.liveObjects, 0);
    }
    {
        RecordingTaskScheduler scheduler;
        scheduler.FailCall("ITaskSettings::put_StopIfGoingOnBatteries", E_FAIL);
        CapturedStream errors;
        EXPECT_EQ(RegisterStartupTaskWith(scheduler.Factory(), kFolder, errors.File()), 0);
        EXPECT_EQ(errors.Text(), "");
        ASSERT_EQ(scheduler.rootTasks.size(), 1u);
        const RecordedDefinition& d = scheduler.rootTasks.begin()->second.definition;
        EXPECT_FALSE(d.disallowStartIfOnBatteries) << "the later settings are still written";
        EXPECT_EQ(d.executionTimeLimit, L"PT0S");
    }
}

TEST(StartupTask, ComInAnotherApartmentModelStopsAtOnce)
{
    RecordingTaskScheduler scheduler;
    CapturedStream errors;
    int result = -1;
    std::thread multiThreaded(
        [&]
        {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            result = RegisterStartupTaskWith(scheduler.Factory(), kFolder, errors.File());
            CoUninitialize();
        });
    multiThreaded.join();

    EXPECT_EQ(result, 1);
    EXPECT_EQ(errors.Text(), "CoInitialize failed with HRESULT: 0x80010106\n");
    EXPECT_TRUE(scheduler.calls.empty());
}

TEST(StartupTask, CallerInitialisedComStaysInitialised)
{
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    RecordingTaskScheduler scheduler;
    CapturedStream errors;
    EXPECT_EQ(RegisterStartupTaskWith(scheduler.Factory(), kFolder, errors.File()), 0);

    // Still joined: a further join reports "already initialised".
    const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    EXPECT_EQ(again, S_FALSE);
    if (SUCCEEDED(again))
        CoUninitialize();
    CoUninitialize();
    EXPECT_TRUE(ThreadLeftCom());
}

// Wine's Task Scheduler connects and hands out definitions but cannot create logon triggers,
// so the real service exercises the failure path up to the trigger.
TEST(StartupTask, RealServiceUnderWineStopsAtTheLogonTrigger)
{
    CapturedStream errors;
    EXPECT_EQ(RegisterStartupTaskWith(CreateTaskSchedulerService, kFolder, errors.File()), 1);
    EXPECT_EQ(errors.Text(), "Failed to create trigger with HRESULT: 0x80004001\n");
    EXPECT_TRUE(ThreadLeftCom());
}
