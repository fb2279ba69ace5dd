#include "app/update/trust/UpdateSignature.h"

#include "app/platform/Utf8.h"
#include "app/update/trust/UpdatePublicKey.h"

#include <sodium.h>

namespace
{
const char kLabel[] = "Tarvik Kelvane update v1"; // its NUL ends the label in the message

bool BuiltInKey(std::string& key)
{
    return DecodeHex(UpdatePublicKeyHex(), key) && key.size() == kUpdatePublicKeySize;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool EncodeUtf8(const std::wstring& text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char32_t unit = static_cast<char16_t>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF)
        {
            if (i + 1 >= text.size())
                return false;
            const char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
            ++i;
        }
        else if (unit >= 0xDC00 && unit <= 0xDFFF)
        {
            return false;
        }
        else
        {
            AppendUtf8(unit, out);
        }
    }
    return true;
}

bool DecodeHex(const std::string& hex, std::string& bytes)
{
    bytes.clear();
    if (hex.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < hex.size(); i += 2)
    {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

bool BuildUpdateSignedMessage(UpdateKind kind, const std::wstring& version, const unsigned char (&sha512)[64],
                              std::string& message)
{
    std::string versionUtf8;
    if ((kind != UpdateKind::Software && kind != UpdateKind::Firmware) || !EncodeUtf8(version, versionUtf8))
        return false;
    const std::size_t length = versionUtf8.size();
    message.assign(kLabel, sizeof(kLabel));
    message += static_cast<char>(kind);
    for (int shift = 0; shift < 32; shift += 8)
        message += static_cast<char>((length >> shift) & 0xFF);
    message += versionUtf8;
    message.append(reinterpret_cast<const char*>(sha512), 64);
    return true;
}

bool VerifyUpdateSignatureWithKey(const std::string& publicKey, UpdateKind kind, const std::wstring& version,
                                  const unsigned char (&sha512)[64], const std::string& signature)
{
    std::string message;
    if (publicKey.size() != kUpdatePublicKeySize || signature.size() != kUpdateSignatureSize ||
        !BuildUpdateSignedMessage(kind, version, sha512, message) || sodium_init() < 0)
        return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                       reinterpret_cast<const unsigned char*>(message.data()), message.size(),
                                       reinterpret_cast<const unsigned char*>(publicKey.data())) == 0;
}

bool UpdatesEnabled()
{
    std::string key;
    return BuiltInKey(key);
}

bool VerifyUpdateSignature(UpdateKind kind, const std::wstring& version, const unsigned char (&sha512)[64],
                           const std::string& signature)
{
    std::string key;
    return BuiltInKey(key) && VerifyUpdateSignatureWithKey(key, kind, version, sha512, signature);
}
