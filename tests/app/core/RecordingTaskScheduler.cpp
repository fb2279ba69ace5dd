#include "tests/app/core/RecordingTaskScheduler.h"

#include <set>

namespace
{
#define NOT_USED(name, params)                                                                               \
    HRESULT STDMETHODCALLTYPE name params override                                                           \
    {                                                                                                        \
        return E_NOTIMPL;                                                                                    \
    }

// Reference counting, IUnknown/IDispatch and the live-object count shared by every stand-in.
template <typename I> class Recorded : public I
{
public:
    explicit Recorded(RecordingTaskScheduler& record) : m_record(record) { ++m_record.liveObjects; }
    virtual ~Recorded() { --m_record.liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(I))
        {
            *out = static_cast<I*>(this);
            this->AddRef();
            return S_OK;
        }
        return QueryOther(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }
    NOT_USED(GetTypeInfoCount, (UINT*))
    NOT_USED(GetTypeInfo, (UINT, LCID, ITypeInfo**))
    NOT_USED(GetIDsOfNames, (REFIID, LPOLESTR*, UINT, LCID, DISPID*))
    NOT_USED(Invoke, (DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))

protected:
    virtual HRESULT QueryOther(REFIID, void**) { return E_NOINTERFACE; }

    // Hands out a freshly created object when the step succeeds.
    template <typename T, typename O> HRESULT HandOut(const std::string& call, O** out, T* object)
    {
        const HRESULT result = m_record.Step(call);
        if (FAILED(result))
        {
            object->Release();
            *out = nullptr;
            return result;
        }
        *out = object;
        return S_OK;
    }

    RecordingTaskScheduler& m_record;

private:
    ULONG m_refs = 1;
};

std::string Flag(VARIANT_BOOL value)
{
    return value == VARIANT_FALSE ? "false" : (value == VARIANT_TRUE ? "true" : "?");
}

class ExecAction final : public Recorded<IExecAction>
{
public:
    ExecAction(RecordingTaskScheduler& record, RecordedAction& target) : Recorded(record), m_target(target) {}

    HRESULT STDMETHODCALLTYPE get_Type(TASK_ACTION_TYPE* type) override
    {
        *type = TASK_ACTION_EXEC;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Path(BSTR path) override
    {
        return Store("IExecAction::put_Path(" + Narrow(path) + ")", m_target.path, path);
    }
    HRESULT STDMETHODCALLTYPE put_Arguments(BSTR arguments) override
    {
        return Store("IExecAction::put_Arguments(" + Narrow(arguments) + ")", m_target.arguments, arguments);
    }
    HRESULT STDMETHODCALLTYPE put_WorkingDirectory(BSTR directory) override
    {
        return Store("IExecAction::put_WorkingDirectory(" + Narrow(directory) + ")",
                     m_target.workingDirectory, directory);
    }
    NOT_USED(get_Id, (BSTR*))
    NOT_USED(put_Id, (BSTR))
    NOT_USED(get_Path, (BSTR*))
    NOT_USED(get_Arguments, (BSTR*))
    NOT_USED(get_WorkingDirectory, (BSTR*))

protected:
    HRESULT QueryOther(REFIID iid, void** out) override
    {
        if (iid != __uuidof(IAction))
            return E_NOINTERFACE;
        *out = static_cast<IAction*>(this);
        AddRef();
        return S_OK;
    }

private:
    HRESULT Store(const std::string& call, std::wstring& field, BSTR value)
    {
        const HRESULT result = m_record.Step(call);
        if (SUCCEEDED(result))
            field = value ? value : L"";
        return result;
    }

    RecordedAction& m_target;
};

// What Create(TASK_ACTION_EXEC) returns: an IAction that answers to IExecAction on request.
class PlainAction final : public Recorded<IAction>
{
public:
    PlainAction(RecordingTaskScheduler& record, RecordedAction& target) : Recorded(record), m_target(target)
    {
    }

    HRESULT STDMETHODCALLTYPE get_Type(TASK_ACTION_TYPE* type) override
    {
        *type = static_cast<TASK_ACTION_TYPE>(m_target.type);
        return S_OK;
    }
    NOT_USED(get_Id, (BSTR*))
    NOT_USED(put_Id, (BSTR))

protected:
    HRESULT QueryOther(REFIID iid, void** out) override
    {
        if (iid != __uuidof(IExecAction))
            return E_NOINTERFACE;
        const HRESULT result = m_record.Step("IAction::QueryInterface(IExecAction)");
        if (FAILED(result))
            return result;
        if (m_target.type != TASK_ACTION_EXEC)
            return E_NOINTERFACE;
        *out = static_cast<IExecAction*>(new ExecAction(m_record, m_target));
        return S_OK;
    }

private:
    RecordedAction& m_target;
};

class ActionCollection final : public Recorded<IActionCollection>
{
public:
    ActionCollection(RecordingTaskScheduler& record, std::shared_ptr<RecordedDefinition> definition)
        : Recorded(record), m_definition(std::move(definition))
    {
    }

    HRESULT STDMETHODCALLTYPE Create(TASK_ACTION_TYPE type, IAction** action) override
    {
        const HRESULT result = m_record.Step("IActionCollection::Create(" + std::to_string(type) + ")");
        *action = nullptr;
        if (FAILED(result))
            return result;
        m_definition->actions.emplace_back();
        m_definition->actions.back().type = type;
        *action = new PlainAction(m_record, m_definition->actions.back());
        return S_OK;
    }
    NOT_USED(get_Count, (LONG*))
    NOT_USED(get_Item, (LONG, IAction**))
    NOT_USED(get__NewEnum, (IUnknown**))
    NOT_USED(get_XmlText, (BSTR*))
    NOT_USED(put_XmlText, (BSTR))
    NOT_USED(Remove, (VARIANT))
    NOT_USED(Clear, ())
    NOT_USED(get_Context, (BSTR*))
    NOT_USED(put_Context, (BSTR))

private:
    std::shared_ptr<RecordedDefinition> m_definition;
};

class Trigger final : public Recorded<ITrigger>
{
public:
    Trigger(RecordingTaskScheduler& record, RecordedTrigger& target) : Recorded(record), m_target(target) {}

    HRESULT STDMETHODCALLTYPE put_Id(BSTR id) override
    {
        const HRESULT result = m_record.Step("ITrigger::put_Id(" + Narrow(id) + ")");
        if (SUCCEEDED(result))
            m_target.id = id ? id : L"";
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_Type(TASK_TRIGGER_TYPE2* type) override
    {
        *type = static_cast<TASK_TRIGGER_TYPE2>(m_target.type);
        return S_OK;
    }
    NOT_USED(get_Id, (BSTR*))
    NOT_USED(get_Repetition, (IRepetitionPattern**))
    NOT_USED(put_Repetition, (IRepetitionPattern*))
    NOT_USED(get_ExecutionTimeLimit, (BSTR*))
    NOT_USED(put_ExecutionTimeLimit, (BSTR))
    NOT_USED(get_StartBoundary, (BSTR*))
    NOT_USED(put_StartBoundary, (BSTR))
    NOT_USED(get_EndBoundary, (BSTR*))
    NOT_USED(put_EndBoundary, (BSTR))
    NOT_USED(get_Enabled, (VARIANT_BOOL*))
    NOT_USED(put_Enabled, (VARIANT_BOOL))

private:
    RecordedTrigger& m_target;
};

class TriggerCollection final : public Recorded<ITriggerCollection>
{
public:
    TriggerCollection(RecordingTaskScheduler& record, std::shared_ptr<RecordedDefinition> definition)
        : Recorded(record), m_definition(std::move(definition))
    {
    }

    HRESULT STDMETHODCALLTYPE Create(TASK_TRIGGER_TYPE2 type, ITrigger** trigger) override
    {
        const HRESULT result = m_record.Step("ITriggerCollection::Create(" + std::to_string(type) + ")");
        *trigger = nullptr;
        if (FAILED(result))
            return result;
        m_definition->triggers.emplace_back();
        m_definition->triggers.back().type = type;
        *trigger = new Trigger(m_record, m_definition->triggers.back());
        return S_OK;
    }
    NOT_USED(get_Count, (LONG*))
    NOT_USED(get_Item, (LONG, ITrigger**))
    NOT_USED(get__NewEnum, (IUnknown**))
    NOT_USED(Remove, (VARIANT))
    NOT_USED(Clear, ())

private:
    std::shared_ptr<RecordedDefinition> m_definition;
};

class Principal final : public Recorded<IPrincipal>
{
public:
    Principal(RecordingTaskScheduler& record, std::shared_ptr<RecordedDefinition> definition)
        : Recorded(record), m_definition(std::move(definition))
    {
    }

    HRESULT STDMETHODCALLTYPE put_RunLevel(TASK_RUNLEVEL_TYPE level) override
    {
        const HRESULT result = m_record.Step("IPrincipal::put_RunLevel(" + std::to_string(level) + ")");
        if (SUCCEEDED(result))
            m_definition->runLevel = level;
        return result;
    }
    HRESULT STDMETHODCALLTYPE put_LogonType(TASK_LOGON_TYPE type) override
    {
        const HRESULT result = m_record.Step("IPrincipal::put_LogonType(" + std::to_string(type) + ")");
        if (SUCCEEDED(result))
            m_definition->principalLogonType = type;
        return result;
    }
    HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) override
    {
        const HRESULT result = m_record.Step("IPrincipal::put_UserId(" + Narrow(user) + ")");
        if (SUCCEEDED(result))
            m_definition->principalUserId = user ? user : L"";
        return result;
    }
    NOT_USED(get_Id, (BSTR*))
    NOT_USED(put_Id, (BSTR))
    NOT_USED(get_DisplayName, (BSTR*))
    NOT_USED(put_DisplayName, (BSTR))
    NOT_USED(get_UserId, (BSTR*))
    NOT_USED(get_LogonType, (TASK_LOGON_TYPE*))
    NOT_USED(get_GroupId, (BSTR*))
    NOT_USED(put_GroupId, (BSTR))
    NOT_USED(get_RunLevel, (TASK_RUNLEVEL_TYPE*))

private:
    std::shared_ptr<RecordedDefinition> m_definition;
};

class Settings final : public Recorded<ITaskSettings>
{
public:
    Settings(RecordingTaskScheduler& record, std::shared_ptr<RecordedDefinition> definition)
        : Recorded(record), m_definition(std::move(definition))
    {
    }

    HRESULT STDMETHODCALLTYPE put_StopIfGoingOnBatteries(VARIANT_BOOL value) override
    {
        return StoreFlag("StopIfGoingOnBatteries", m_definition->stopIfGoingOnBatteries, value);
    }
    HRESULT STDMETHODCALLTYPE put_DisallowStartIfOnBatteries(VARIANT_BOOL value) override
    {
        return StoreFlag("DisallowStartIfOnBatteries", m_definition->disallowStartIfOnBatteries, value);
    }
    HRESULT STDMETHODCALLTYPE put_AllowDemandStart(VARIANT_BOOL value) override
    {
        return StoreFlag("AllowDemandStart", m_definition->allowDemandStart, value);
    }
    HRESULT STDMETHODCALLTYPE put_StartWhenAvailable(VARIANT_BOOL value) override
    {
        return StoreFlag("StartWhenAvailable", m_definition->startWhenAvailable, value);
    }
    HRESULT STDMETHODCALLTYPE put_MultipleInstances(TASK_INSTANCES_POLICY policy) override
    {
        const HRESULT result =
            m_record.Step("ITaskSettings::put_MultipleInstances(" + std::to_string(policy) + ")");
        if (SUCCEEDED(result))
            m_definition->multipleInstances = policy;
        return result;
    }
    HRESULT STDMETHODCALLTYPE put_ExecutionTimeLimit(BSTR limit) override
    {
        const HRESULT result = m_record.Step("ITaskSettings::put_ExecutionTimeLimit(" + Narrow(limit) + ")");
        if (SUCCEEDED(result))
            m_definition->executionTimeLimit = limit ? limit : L"";
        return result;
    }
    NOT_USED(get_AllowDemandStart, (VARIANT_BOOL*))
    NOT_USED(get_RestartInterval, (BSTR*))
    NOT_USED(put_RestartInterval, (BSTR))
    NOT_USED(get_RestartCount, (INT*))
    NOT_USED(put_RestartCount, (INT))
    NOT_USED(get_MultipleInstances, (TASK_INSTANCES_POLICY*))
    NOT_USED(get_StopIfGoingOnBatteries, (VARIANT_BOOL*))
    NOT_USED(get_DisallowStartIfOnBatteries, (VARIANT_BOOL*))
    NOT_USED(get_AllowHardTerminate, (VARIANT_BOOL*))
    NOT_USED(put_AllowHardTerminate, (VARIANT_BOOL))
    NOT_USED(get_StartWhenAvailable, (VARIANT_BOOL*))
    NOT_USED(get_XmlText, (BSTR*))
    NOT_USED(put_XmlText, (BSTR))
    NOT_USED(get_RunOnlyIfNetworkAvailable, (VARIANT_BOOL*))
    NOT_USED(put_RunOnlyIfNetworkAvailable, (VARIANT_BOOL))
    NOT_USED(get_ExecutionTimeLimit, (BSTR*))
    NOT_USED(get_Enabled, (VARIANT_BOOL*))
    NOT_USED(put_Enabled, (VARIANT_BOOL))
    NOT_USED(get_DeleteExpiredTaskAfter, (BSTR*))
    NOT_USED(put_DeleteExpiredTaskAfter, (BSTR))
    NOT_USED(get_Priority, (INT*))
    NOT_USED(put_Priority, (INT))
    NOT_USED(get_Compatibility, (TASK_COMPATIBILITY*))
    NOT_USED(put_Compatibility, (TASK_COMPATIBILITY))
    NOT_USED(get_Hidden, (VARIANT_BOOL*))
    NOT_USED(put_Hidden, (VARIANT_BOOL))
    NOT_USED(get_IdleSettings, (IIdleSettings**))
    NOT_USED(put_IdleSettings, (IIdleSettings*))
    NOT_USED(get_RunOnlyIfIdle, (VARIANT_BOOL*))
    NOT_USED(put_RunOnlyIfIdle, (VARIANT_BOOL))
    NOT_USED(get_WakeToRun, (VARIANT_BOOL*))
    NOT_USED(put_WakeToRun, (VARIANT_BOOL))
    NOT_USED(get_NetworkSettings, (INetworkSettings**))
    NOT_USED(put_NetworkSettings, (INetworkSettings*))

private:
    HRESULT StoreFlag(const char* name, bool& field, VARIANT_BOOL value)
    {
        const HRESULT result =
            m_record.Step(std::string("ITaskSettings::put_") + name + "(" + Flag(value) + ")");
        if (SUCCEEDED(result))
            field = value != VARIANT_FALSE;
        return result;
    }

    std::shared_ptr<RecordedDefinition> m_definition;
};

class Definition;
// The definitions of one service that are still alive, so that registration can read back what
// was set. Holds no references.
using DefinitionSet = std::set<Definition*>;

class Definition final : public Recorded<ITaskDefinition>
{
public:
    Definition(RecordingTaskScheduler& record, std::shared_ptr<DefinitionSet> alive)
        : Recorded(record), m_definition(std::make_shared<RecordedDefinition>()), m_alive(std::move(alive))
    {
        m_alive->insert(this);
    }
    ~Definition() override { m_alive->erase(this); }

    const RecordedDefinition& Values() const { return *m_definition; }

    HRESULT STDMETHODCALLTYPE get_Triggers(ITriggerCollection** triggers) override
    {
        return HandOut("ITaskDefinition::get_Triggers", triggers,
                       new TriggerCollection(m_record, m_definition));
    }
    HRESULT STDMETHODCALLTYPE get_Principal(IPrincipal** principal) override
    {
        return HandOut("ITaskDefinition::get_Principal", principal, new Principal(m_record, m_definition));
    }
    HRESULT STDMETHODCALLTYPE get_Settings(ITaskSettings** settings) override
    {
        return HandOut("ITaskDefinition::get_Settings", settings, new Settings(m_record, m_definition));
    }
    HRESULT STDMETHODCALLTYPE get_Actions(IActionCollection** actions) override
    {
        return HandOut("ITaskDefinition::get_Actions", actions, new ActionCollection(m_record, m_definition));
    }
    NOT_USED(get_RegistrationInfo, (IRegistrationInfo**))
    NOT_USED(put_RegistrationInfo, (IRegistrationInfo*))
    NOT_USED(put_Triggers, (ITriggerCollection*))
    NOT_USED(put_Settings, (ITaskSettings*))
    NOT_USED(get_Data, (BSTR*))
    NOT_USED(put_Data, (BSTR))
    NOT_USED(put_Principal, (IPrincipal*))
    NOT_USED(put_Actions, (IActionCollection*))
    NOT_USED(get_XmlText, (BSTR*))
    NOT_USED(put_XmlText, (BSTR))

private:
    std::shared_ptr<RecordedDefinition> m_definition;
    std::shared_ptr<DefinitionSet> m_alive;
};

class Folder final : public Recorded<ITaskFolder>
{
public:
    Folder(RecordingTaskScheduler& record, std::shared_ptr<DefinitionSet> definitions)
        : Recorded(record), m_definitions(std::move(definitions))
    {
    }

    HRESULT STDMETHODCALLTYPE RegisterTaskDefinition(BSTR path, ITaskDefinition* definition, LONG flags,
                                                     VARIANT user, VARIANT password, TASK_LOGON_TYPE logon,
                                                     VARIANT sddl, IRegisteredTask** task) override
    {
        const HRESULT result = m_record.Step("ITaskFolder::RegisterTaskDefinition(" + Narrow(path) + ", " +
                                             std::to_string(flags) + ", " + std::to_string(logon) + ")");
        if (task)
            *task = nullptr;
        if (FAILED(result))
            return result;
        auto found = m_definitions->find(static_cast<Definition*>(definition));
        if (found == m_definitions->end())
            return E_INVALIDARG;

        const std::wstring name = path ? path : L"";
        const bool exists = m_record.rootTasks.count(name) != 0;
        if (exists && !(flags & TASK_UPDATE))
            return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
        if (!exists && !(flags & TASK_CREATE))
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

        RegisteredTask stored;
        stored.definition = (*found)->Values();
        stored.flags = flags;
        stored.userType = user.vt;
        stored.passwordType = password.vt;
        stored.logonType = logon;
        stored.securityType = sddl.vt;
        if (sddl.vt == VT_BSTR && sddl.bstrVal)
            stored.security = sddl.bstrVal;
        m_record.rootTasks[name] = stored;
        return S_OK;
    }
    NOT_USED(get_Name, (BSTR*))
    NOT_USED(get_Path, (BSTR*))
    NOT_USED(GetFolder, (BSTR, ITaskFolder**))
    NOT_USED(GetFolders, (LONG, ITaskFolderCollection**))
    NOT_USED(CreateFolder, (BSTR, VARIANT, ITaskFolder**))
    NOT_USED(DeleteFolder, (BSTR, LONG))
    NOT_USED(GetTask, (BSTR, IRegisteredTask**))
    NOT_USED(GetTasks, (LONG, IRegisteredTaskCollection**))
    NOT_USED(DeleteTask, (BSTR, LONG))
    NOT_USED(RegisterTask, (BSTR, BSTR, LONG, VARIANT, VARIANT, TASK_LOGON_TYPE, VARIANT, IRegisteredTask**))
    NOT_USED(GetSecurityDescriptor, (LONG, BSTR*))
    NOT_USED(SetSecurityDescriptor, (BSTR, LONG))

private:
    std::shared_ptr<DefinitionSet> m_definitions;
};

class Service final : public Recorded<ITaskService>
{
public:
    explicit Service(RecordingTaskScheduler& record)
        : Recorded(record), m_definitions(std::make_shared<DefinitionSet>())
    {
    }

    HRESULT STDMETHODCALLTYPE Connect(VARIANT server, VARIANT user, VARIANT domain, VARIANT password) override
    {
        const HRESULT result = m_record.Step("ITaskService::Connect(" + std::to_string(server.vt) + ", " +
                                             std::to_string(user.vt) + ", " + std::to_string(domain.vt) +
                                             ", " + std::to_string(password.vt) + ")");
        if (SUCCEEDED(result))
            m_connected = true;
        return result;
    }
    HRESULT STDMETHODCALLTYPE GetFolder(BSTR path, ITaskFolder** folder) override
    {
        *folder = nullptr;
        if (!m_connected)
            return HRESULT_FROM_WIN32(ERROR_ONLY_IF_CONNECTED);
        if (Narrow(path) != "\\")
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        return HandOut("ITaskService::GetFolder(" + Narrow(path) + ")", folder,
                       new Folder(m_record, m_definitions));
    }
    HRESULT STDMETHODCALLTYPE NewTask(DWORD flags, ITaskDefinition** definition) override
    {
        *definition = nullptr;
        if (!m_connected)
            return HRESULT_FROM_WIN32(ERROR_ONLY_IF_CONNECTED);
        const HRESULT result = m_record.Step("ITaskService::NewTask(" + std::to_string(flags) + ")");
        if (FAILED(result))
            return result;
        *definition = new Definition(m_record, m_definitions);
        return S_OK;
    }
    NOT_USED(GetRunningTasks, (LONG, IRunningTaskCollection**))
    NOT_USED(get_Connected, (VARIANT_BOOL*))
    NOT_USED(get_TargetServer, (BSTR*))
    NOT_USED(get_ConnectedUser, (BSTR*))
    NOT_USED(get_ConnectedDomain, (BSTR*))
    NOT_USED(get_HighestVersion, (DWORD*))

private:
    bool m_connected = false;
    std::shared_ptr<DefinitionSet> m_definitions;
};
} // namespace

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (const wchar_t* c = text; c && *c; ++c)
        out += *c < 0x80 ? static_cast<char>(*c) : '?';
    return out;
}

TaskServiceFactory RecordingTaskScheduler::Factory()
{
    return [this](ITaskService** service) -> HRESULT
    {
        *service = nullptr;
        const HRESULT result = Step("CreateService");
        if (FAILED(result))
            return result;
        ++servicesCreated;
        *service = new Service(*this);
        return S_OK;
    };
}

void RecordingTaskScheduler::FailCall(const std::string& callPrefix, HRESULT result)
{
    m_failPrefix = callPrefix;
    m_failResult = result;
}

HRESULT RecordingTaskScheduler::Step(const std::string& call)
{
    calls.push_back(call);
    if (!m_failPrefix.empty() && call.compare(0, m_failPrefix.size(), m_failPrefix) == 0)
        return m_failResult;
    return S_OK;
}
