#pragma once

// Ids queued for the two workers. The display worker runs the scan and the firmware-version
// read; the update worker runs 3 to 8. Any other id is dropped unrun.
constexpr int CMD_SCAN_DEVICES = 1;
// Queued by DeviceWorker::RequestFirmwareVersion only: the read needs its waiting request.
constexpr int CMD_READ_FIRMWARE_VERSION = 2;
constexpr int CMD_CHECK_SOFTWARE = 3;
constexpr int CMD_CHECK_FIRMWARE = 4;
constexpr int CMD_CHECK_SOFTWARE_SILENT = 5;
constexpr int CMD_CHECK_FIRMWARE_SILENT = 6;
constexpr int CMD_UPDATE_SOFTWARE = 7;
constexpr int CMD_UPDATE_FIRMWARE = 8;

constexpr bool IsUpdateCommand(int command)
{
    return command >= CMD_CHECK_SOFTWARE && command <= CMD_UPDATE_FIRMWARE;
}
