#include "app/update/UpdateServerAddress.h"

#ifndef TK_UPDATE_HOST
#error "TK_UPDATE_HOST must name the update server (set by app/CMakeLists.txt)"
#endif

std::wstring UpdateServerHost()
{
    return L"" TK_UPDATE_HOST;
}
