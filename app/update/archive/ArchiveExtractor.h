#pragma once

#include "app/update/archive/ExtractionLimits.h"

#include <windows.h>

#include <string>

// Unpacks the zip archive open behind the handle (read from offset 0 on, never reopened by name; the
// handle stays open and its file pointer moves) into an existing folder that has no link on its path.
// All or nothing: an entry over the limits, a name that cannot stay inside the folder, entries that
// share bytes, a method other than stored or deflated, encryption, output that differs from the declared
// size or CRC-32, a name already taken or a link met on the way fails the whole archive, and everything
// written by then is removed.
bool ExtractArchive(HANDLE archive, const std::wstring& folder, const ExtractionLimits& limits = {});
