#pragma once

// Enables SeDebugPrivilege in the process token, so that a sensor server left running by an
// elevated earlier run can be ended. True when the adjustment reported no error.
bool EnableDebugPrivilege();
