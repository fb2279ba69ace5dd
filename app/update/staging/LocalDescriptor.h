#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

// A security descriptor the system allocated for us (GetSecurityInfo, the SDDL conversion), freed
// with LocalFree when its owner goes.
using LocalDescriptor = UniqueHandle<ReleasedBy<PSECURITY_DESCRIPTOR, LocalFree>>;
