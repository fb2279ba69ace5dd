// The end-to-end build of the program links this in place of the built-in server address: it asks
// the local test server named in its environment.
#include "app/update/UpdateServerAddress.h"

#include <windows.h>

std::wstring UpdateServerHost()
{
    wchar_t host[256] = {};
    const DWORD length = GetEnvironmentVariableW(L"TK_E2E_UPDATE_HOST", host, 256);
    if (length == 0 || length >= 256)
        return L"http://127.0.0.1:1";
    return host;
}
