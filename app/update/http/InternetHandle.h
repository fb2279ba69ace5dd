#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>
#include <wininet.h>

// One WinINet handle (session, connection or request), closed with InternetCloseHandle when its
// owner goes. Closing a request also cancels a call still pending on it.
using InternetHandle = UniqueHandle<ReleasedBy<HINTERNET, InternetCloseHandle>>;
