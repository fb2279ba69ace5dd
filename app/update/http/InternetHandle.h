#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>
#include <wininet.h>

// One WinINet handle (session, connection or request), closed with InternetCloseHandle when its
// owner goes. Closing a request also cancels a call still pending on it.
struct InternetHandleTraits
{
    using Handle = HINTERNET;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle handle) noexcept { InternetCloseHandle(handle); }
};

using InternetHandle = UniqueHandle<InternetHandleTraits>;
