#include "app/update/staging/StagingFolderSecurity.h"

#include <aclapi.h>
#include <sddl.h>

namespace
{
// 0x1200a9: FILE_GENERIC_READ | FILE_GENERIC_EXECUTE.
constexpr wchar_t kStagingSddl[] =
    L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;AU)";

bool IsAdministratorsOrSystem(PSID sid)
{
    return sid != nullptr &&
           (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid));
}
} // namespace

StagingFolderSecurity::StagingFolderSecurity()
{
    PSECURITY_DESCRIPTOR converted = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kStagingSddl, SDDL_REVISION_1, &converted,
                                                             nullptr))
        m_descriptor.reset(converted);
    m_attributes.nLength = sizeof(m_attributes);
    m_attributes.lpSecurityDescriptor = m_descriptor.get();
    m_attributes.bInheritHandle = FALSE;
}

SECURITY_ATTRIBUTES* StagingFolderSecurity::Attributes()
{
    return IsValid() ? &m_attributes : nullptr;
}

PACL StagingFolderSecurity::Dacl() const
{
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!IsValid() || !GetSecurityDescriptorDacl(m_descriptor.get(), &present, &dacl, &defaulted) || !present)
        return nullptr;
    return dacl;
}

bool StagingFolderSecurity::ApplyTo(HANDLE folder) const
{
    PACL dacl = Dacl();
    if (dacl == nullptr)
        return false;
    PSID owner = nullptr;
    LocalDescriptor current;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        current.put()) != ERROR_SUCCESS)
        return false;
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof(administrators);
    PSID newOwner = nullptr;
    if (!IsAdministratorsOrSystem(owner))
    {
        if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size))
            return false;
        newOwner = administrators;
        what |= OWNER_SECURITY_INFORMATION;
    }
    return SetSecurityInfo(folder, SE_FILE_OBJECT, what, newOwner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}
