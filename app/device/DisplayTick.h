#pragma once

#include "app/device/DisplayReport.h"

#include <chrono>

class CDeviceManager;
class SnapshotMapping;

constexpr std::chrono::milliseconds kDisplayTickPause{1000};

// One display tick (worker thread): reads the snapshot (zero readings while no view is held),
// sends the temperature report to every open display, then sleeps for pause (none when zero: the
// worker rests on its own).
void DisplayTick(CDeviceManager& devices, const SnapshotMapping& snapshot, const DisplaySettings& settings,
                 std::chrono::milliseconds pause = kDisplayTickPause);
