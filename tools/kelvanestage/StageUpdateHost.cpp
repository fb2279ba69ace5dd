// The staged program asks a local update server (the end-to-end tests run one) instead of the
// vendor's; everything else is the program as shipped.
#include "app/update/UpdateServerAddress.h"
#include "tools/kelvanestage/StageUpdatePort.h"

#include <string>

std::wstring UpdateServerHost()
{
    return L"http://127.0.0.1:" + std::to_wstring(StageUpdatePort());
}
