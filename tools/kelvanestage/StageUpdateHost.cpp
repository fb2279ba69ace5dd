// The staged program asks a local update server (the end-to-end tests run one on this port)
// instead of the vendor's; everything else is the program as shipped.
#include "app/update/UpdateServerAddress.h"

std::wstring UpdateServerHost()
{
    return L"http://127.0.0.1:38517";
}
