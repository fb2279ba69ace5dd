// Test executables and the staged program check update signatures against the build folder's own
// key pair, so tests and the staged release can sign with its secret half.
#include "app/update/trust/UpdatePublicKey.h"

std::string UpdatePublicKeyHex()
{
    return TK_BUILD_UPDATE_PUBLIC_KEY;
}
