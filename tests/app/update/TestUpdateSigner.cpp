#include "tests/app/update/TestUpdateSigner.h"

#include "app/update/trust/UpdateSignature.h"

#include <sodium.h>

std::string BuildKeySeed()
{
    std::string seed;
    DecodeHex(TK_BUILD_UPDATE_SEED, seed);
    return seed;
}

std::string OtherKeySeed()
{
    return std::string(32, '\x5A');
}

std::string SignUpdateDigest(UpdateKind kind, const std::wstring& version, const unsigned char (&sha512)[64],
                             const std::string& seed)
{
    std::string message;
    if (sodium_init() < 0 || seed.size() != 32 || !BuildUpdateSignedMessage(kind, version, sha512, message))
        return {};
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_seed_keypair(publicKey, secretKey, reinterpret_cast<const unsigned char*>(seed.data()));
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(message.data()),
                         message.size(), secretKey);
    return std::string(reinterpret_cast<const char*>(signature), sizeof(signature));
}

std::string SignUpdate(UpdateKind kind, const std::wstring& version, const std::string& archive,
                       const std::string& seed)
{
    unsigned char sha512[64];
    crypto_hash_sha512(sha512, reinterpret_cast<const unsigned char*>(archive.data()), archive.size());
    return SignUpdateDigest(kind, version, sha512, seed);
}
