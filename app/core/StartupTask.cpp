#include "app/core/StartupTask.h"

#include "app/core/BStr.h"
#include "app/core/ComApartment.h"
#include "app/core/HresultMessage.h"
#include "app/core/ProgramFolder.h"
#include "base/ComPtr.h"

namespace
{
const wchar_t kTaskName[] = L"KELVANE StartupTask";
const wchar_t kProgramFile[] = L"Tarvik Kelvane.exe";

// Prints the step's failure line; true when the step succeeded.
bool Succeeded(HRESULT result, const char* failureMessage, std::FILE* errors)
{
    if (SUCCEEDED(result))
        return true;
    std::fputs(HresultMessage(failureMessage, static_cast<std::int32_t>(result)).c_str(), errors);
    std::fflush(errors);
    return false;
}

VARIANT EmptyVariant()
{
    VARIANT value;
    VariantInit(&value);
    return value;
}

// The variant borrows the string; it must not be cleared.
VARIANT BorrowedStringVariant(const BStr& text)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text.get();
    return value;
}

void ApplySettings(ITaskSettings* settings)
{
    // The task must never be held back or cut short; these calls are best effort.
    const BStr noLimit(L"PT0S");
    settings->put_StopIfGoingOnBatteries(VARIANT_FALSE);
    settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE);
    settings->put_AllowDemandStart(VARIANT_TRUE);
    settings->put_StartWhenAvailable(VARIANT_FALSE);
    settings->put_MultipleInstances(TASK_INSTANCES_PARALLEL);
    settings->put_ExecutionTimeLimit(noLimit.get());
}
} // namespace

HRESULT CreateTaskSchedulerService(ITaskService** service)
{
    return CoCreateInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskService),
                            reinterpret_cast<void**>(service));
}

int RegisterStartupTask()
{
    return RegisterStartupTaskWith(CreateTaskSchedulerService, GetProgramFolder(), stderr);
}

int RegisterStartupTaskWith(const TaskServiceFactory& createService, const std::wstring& programFolder,
                            std::FILE* errors)
{
    // Declared in acquisition order so that leaving on any path releases everything in reverse,
    // and the apartment last.
    ComApartment apartment;
    if (!Succeeded(apartment.Result(), "CoInitialize failed with HRESULT: 0x", errors))
        return 1;

    ComPtr<ITaskService> service;
    if (!Succeeded(createService(service.put()), "Failed to create Task Scheduler instance with HRESULT: 0x",
                   errors))
        return 1;

    VARIANT none = EmptyVariant();
    if (!Succeeded(service->Connect(none, none, none, none),
                   "Failed to connect to Task Scheduler service with HRESULT: 0x", errors))
        return 1;

    const BStr rootPath(L"\\");
    ComPtr<ITaskFolder> root;
    if (!Succeeded(service->GetFolder(rootPath.get(), root.put()),
                   "Failed to get root folder with HRESULT: 0x", errors))
        return 1;

    ComPtr<ITaskDefinition> definition;
    if (!Succeeded(service->NewTask(0, definition.put()), "Failed to create new task with HRESULT: 0x",
                   errors))
        return 1;

    ComPtr<ITriggerCollection> triggers;
    if (!Succeeded(definition->get_Triggers(triggers.put()),
                   "Failed to get trigger collection with HRESULT: 0x", errors))
        return 1;

    ComPtr<ITrigger> trigger;
    if (!Succeeded(triggers->Create(TASK_TRIGGER_LOGON, trigger.put()),
                   "Failed to create trigger with HRESULT: 0x", errors))
        return 1;

    const BStr triggerId(L"Administrator");
    if (!Succeeded(trigger->put_Id(triggerId.get()), "Failed to set trigger ID with HRESULT: 0x", errors))
        return 1;

    ComPtr<IPrincipal> principal;
    if (!Succeeded(definition->get_Principal(principal.put()), "Failed to get principal with HRESULT: 0x",
                   errors))
        return 1;

    if (!Succeeded(principal->put_RunLevel(TASK_RUNLEVEL_HIGHEST), "Failed to set run level with HRESULT: 0x",
                   errors))
        return 1;

    ComPtr<ITaskSettings> settings;
    definition->get_Settings(settings.put());
    if (settings)
        ApplySettings(settings.get());

    ComPtr<IActionCollection> actions;
    if (!Succeeded(definition->get_Actions(actions.put()), "Failed to get action collection with HRESULT: 0x",
                   errors))
        return 1;

    ComPtr<IAction> action;
    if (!Succeeded(actions->Create(TASK_ACTION_EXEC, action.put()),
                   "Failed to create action with HRESULT: 0x", errors))
        return 1;

    ComPtr<IExecAction> execAction;
    if (!Succeeded(action.QueryInto(execAction), "Failed to query exec action interface with HRESULT: 0x",
                   errors))
        return 1;

    const BStr path((programFolder + kProgramFile).c_str());
    if (!Succeeded(execAction->put_Path(path.get()), "Failed to set executable path with HRESULT: 0x",
                   errors))
        return 1;

    const BStr arguments(L"-hide");
    if (!Succeeded(execAction->put_Arguments(arguments.get()),
                   "Failed to set command line arguments with HRESULT: 0x", errors))
        return 1;

    const BStr taskName(kTaskName);
    const BStr emptySecurity(L"");
    Succeeded(root->RegisterTaskDefinition(taskName.get(), definition.get(), TASK_CREATE_OR_UPDATE, none,
                                           none, TASK_LOGON_INTERACTIVE_TOKEN,
                                           BorrowedStringVariant(emptySecurity), nullptr),
              "Failed to register task definition with HRESULT: 0x", errors);
    return 0;
}
