#pragma once

#include "app/core/StartupTask.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

// What a definition held when it was registered. Fields start at the values a fresh definition
// of the system's Task Scheduler has, so a setting the program forgets to write shows up.
struct RecordedTrigger
{
    int type = 0;
    std::wstring id;
    std::wstring userId;
};

struct RecordedAction
{
    int type = 0;
    std::wstring path;
    std::wstring arguments;
    std::wstring workingDirectory;
};

struct RecordedDefinition
{
    std::deque<RecordedTrigger> triggers; // deque: stand-ins hold references into it
    int runLevel = TASK_RUNLEVEL_LUA;
    int principalLogonType = -1;
    std::wstring principalUserId;
    bool stopIfGoingOnBatteries = true;
    bool disallowStartIfOnBatteries = true;
    bool allowDemandStart = true;
    bool startWhenAvailable = false;
    int multipleInstances = TASK_INSTANCES_IGNORE_NEW;
    std::wstring executionTimeLimit = L"PT72H";
    std::deque<RecordedAction> actions;
};

struct RegisteredTask
{
    RecordedDefinition definition;
    long flags = 0;
    VARTYPE userType = VT_EMPTY;
    VARTYPE passwordType = VT_EMPTY;
    int logonType = -1;
    VARTYPE securityType = VT_EMPTY;
    std::wstring security;
};

// A stand-in for the Task Scheduler 2.0 service: records every call in order, keeps the tasks of
// the root folder across runs and fails one chosen call on request.
class RecordingTaskScheduler
{
public:
    // Service objects handed out by this factory all report to this record.
    TaskServiceFactory Factory();

    // Makes the call whose record starts with `callPrefix` fail with `result`.
    void FailCall(const std::string& callPrefix, HRESULT result);

    // Records the call; returns the injected failure when it matches, else S_OK.
    HRESULT Step(const std::string& call);

    std::vector<std::string> calls;
    std::map<std::wstring, RegisteredTask> rootTasks;
    int liveObjects = 0;
    int servicesCreated = 0;

private:
    std::string m_failPrefix;
    HRESULT m_failResult = S_OK;
};

std::string Narrow(const wchar_t* text);
