#pragma once

// Whether this process runs with an elevated token (for the start line of the log); false when the
// token cannot be asked.
bool IsProcessElevated();
