#include "app/update/trust/ArchiveVerification.h"

#include "app/update/trust/UpdateSignature.h"

#include <sodium.h>

#include <vector>

bool DigestFile(HANDLE file, unsigned char (&sha512)[64])
{
    LARGE_INTEGER start = {};
    if (sodium_init() < 0 || !SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    crypto_hash_sha512_state state;
    crypto_hash_sha512_init(&state);
    std::vector<unsigned char> buffer(1 << 16);
    for (;;)
    {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return false;
        if (read == 0)
            break;
        crypto_hash_sha512_update(&state, buffer.data(), read);
    }
    crypto_hash_sha512_final(&state, sha512);
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

bool VerifyArchiveFile(UpdateKind kind, const std::wstring& version, HANDLE archive,
                       const std::string& signature)
{
    unsigned char sha512[64] = {};
    return signature.size() == kUpdateSignatureSize && DigestFile(archive, sha512) &&
           VerifyUpdateSignature(kind, version, sha512, signature);
}
