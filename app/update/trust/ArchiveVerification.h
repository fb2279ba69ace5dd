#pragma once

#include "app/update/trust/UpdateKind.h"

#include <windows.h>

#include <string>

// Digests the archive through the open handle, from offset 0 to its end, and checks the signature
// over that digest (UpdateSignature.h). Reading through the handle, never by name, means the bytes
// checked are the bytes later extracted. The file position is back at 0 afterwards.
bool VerifyArchiveFile(UpdateKind kind, const std::wstring& version, HANDLE archive,
                       const std::string& signature);

// SHA-512 of everything the handle reads from offset 0; false when a read fails.
bool DigestFile(HANDLE file, unsigned char (&sha512)[64]);
