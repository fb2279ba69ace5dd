#pragma once

#include <windows.h>
#include <taskschd.h>

#include <cstdio>
#include <functional>
#include <string>

// Where the logon task's service object comes from: the real Task Scheduler, or a stand-in.
using TaskServiceFactory = std::function<HRESULT(ITaskService** service)>;

// Creates or replaces the elevated logon task that starts "Tarvik Kelvane.exe" in programFolder
// (which ends in a backslash) hidden. Returns 0 when the registration call was reached, 1 when an
// earlier step failed; each failure writes one line to `errors`.
int RegisterStartupTaskWith(const TaskServiceFactory& createService, const std::wstring& programFolder,
                            std::FILE* errors);

// The system's Task Scheduler 2.0 service object (in-process server).
HRESULT CreateTaskSchedulerService(ITaskService** service);
