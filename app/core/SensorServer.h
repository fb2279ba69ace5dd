#pragma once
#include <string>
#include <vector>

constexpr wchar_t kSensorServerFileName[] = L"ThermivoxServer.exe";

// programFolder (ends in a backslash), then "HardwareMonitor\" for Windows 10 and later or
// "HardwareMonitorWin7\" for earlier Windows, then the server's file name.
std::wstring SensorServerPath(const std::wstring& programFolder, bool windows10OrLater);

// What EndSensorServersOf did with one process that carries the server's image name.
struct SensorServerEnding
{
    enum class Outcome
    {
        Ended,
        NotOurs, // left alone: reason says "another session" or "another folder"
        Failed,  // reason names the step that failed, systemCode its system error code
    };
    unsigned long processId = 0; // 0: the process list itself could not be taken
    std::wstring imagePath;      // empty when it could not be read
    Outcome outcome = Outcome::Failed;
    // "another session", "another folder", or the failed step: "process list", "session",
    // "open", "image path", "terminate", "wait".
    const char* reason = "";
    unsigned long systemCode = 0;
};

// Ends the sensor servers that belong to this run of the program: those in this process's
// session whose image is one of the two server files below programFolder. Another user's
// server, or a server of another installation, is left alone. Each one is tried once; only
// those terminated are waited for (about two seconds at most), so a server that cannot be
// ended costs no time. One entry per process with the server's image name.
std::vector<SensorServerEnding> EndSensorServersOf(const std::wstring& programFolder);

// EndSensorServersOf for this program's folder, each server's outcome written to the program
// log; when: the moment it is done for ("start-up", "exit", "hand-over"). True when every server
// found was ended or is not ours.
bool EndSensorServers(const char* when);
