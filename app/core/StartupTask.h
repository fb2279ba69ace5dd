#pragma once

#include <windows.h>
#include <taskschd.h>

#include <cstdio>
#include <functional>
#include <string>

// Where the logon task's service object comes from: the real Task Scheduler, or a stand-in.
using TaskServiceFactory = std::function<HRESULT(ITaskService** service)>;

// Creates or replaces the elevated logon task that starts the program hidden at every logon,
// pointing at the program folder's "Tarvik Kelvane.exe". Returns 0 when the registration call
// was reached, 1 when an earlier step failed; failures are written to stderr.
int RegisterStartupTask();

// The same sequence with the service source, the program folder (ending in a backslash) and the
// stream for failure lines supplied by the caller.
int RegisterStartupTaskWith(const TaskServiceFactory& createService, const std::wstring& programFolder,
                            std::FILE* errors);

// The system's Task Scheduler 2.0 service object (in-process server).
HRESULT CreateTaskSchedulerService(ITaskService** service);
