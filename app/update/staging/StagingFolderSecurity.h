#pragma once

#include "app/update/staging/LocalDescriptor.h"

#include <windows.h>

// The security every staging folder gets, inherited by everything created inside it: protected from the
// parent's entries; Administrators and SYSTEM full control; Users and Authenticated Users read and execute
// only. So an unelevated program can neither plant files there nor swap a folder for a link.
class StagingFolderSecurity
{
public:
    StagingFolderSecurity();
    StagingFolderSecurity(const StagingFolderSecurity&) = delete;
    StagingFolderSecurity& operator=(const StagingFolderSecurity&) = delete;

    bool IsValid() const { return static_cast<bool>(m_descriptor); }
    // For CreateDirectoryW; null when the descriptor could not be built.
    SECURITY_ATTRIBUTES* Attributes();
    PACL Dacl() const;

    // Puts the protected list on an existing folder (opened with READ_CONTROL, WRITE_DAC and WRITE_OWNER)
    // and hands a folder owned by anyone but Administrators or SYSTEM to Administrators, since an owner
    // could rewrite the list again.
    bool ApplyTo(HANDLE folder) const;

private:
    LocalDescriptor m_descriptor; // from the SDDL conversion
    SECURITY_ATTRIBUTES m_attributes = {};
};
