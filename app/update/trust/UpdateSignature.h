#pragma once

#include "app/update/trust/UpdateKind.h"

#include <string>

// Ed25519 signatures over update archives. The signed message binds a fixed label, the kind
// (UpdateKind: software 1, firmware 2), the version text exactly as the server sent it and the
// archive's SHA-512, so a signature made for one version or kind never passes for another:
//   label "Tarvik Kelvane update v1" and one NUL byte
//   kind, one byte
//   length of the version text in UTF-8, 4 bytes little-endian, then those bytes
//   the 64 bytes of SHA-512
// scripts/package.sh builds the same bytes when it signs a release.

constexpr std::size_t kUpdateSignatureSize = 64;
constexpr std::size_t kUpdatePublicKeySize = 32;

// True when the program was built with a public key; without one updates are switched off.
bool UpdatesEnabled();

// True only for a 64-byte signature that the built-in key made over this kind, version and digest.
bool VerifyUpdateSignature(UpdateKind kind, const std::wstring& version, const unsigned char (&sha512)[64],
                           const std::string& signature);

// The same check against a given 32-byte key.
bool VerifyUpdateSignatureWithKey(const std::string& publicKey, UpdateKind kind, const std::wstring& version,
                                  const unsigned char (&sha512)[64], const std::string& signature);

// The message above. False when the kind is unknown or the version is not valid UTF-16.
bool BuildUpdateSignedMessage(UpdateKind kind, const std::wstring& version, const unsigned char (&sha512)[64],
                              std::string& message);

// Strict UTF-16 to UTF-8: false on an unpaired surrogate.
bool EncodeUtf8(const std::wstring& text, std::string& out);

// Hex digits (either case) to bytes; false on an odd length or any other character.
bool DecodeHex(const std::string& hex, std::string& bytes);
