#include "app/update/trust/UpdatePublicKey.h"

#ifndef TK_UPDATE_PUBLIC_KEY
#error "TK_UPDATE_PUBLIC_KEY must be defined (set by app/CMakeLists.txt, empty for no updates)"
#endif

std::string UpdatePublicKeyHex()
{
    return TK_UPDATE_PUBLIC_KEY;
}
