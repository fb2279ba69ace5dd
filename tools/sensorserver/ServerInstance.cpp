#include "tools/sensorserver/ServerInstance.h"

namespace thermivox
{
ServerInstance::ServerInstance() : m_mutex(CreateMutexW(nullptr, FALSE, kMutexName))
{
    // Failing to create the mutex at all is no proof of another copy: serve anyway.
    m_onlyOne = m_mutex == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

ServerInstance::~ServerInstance()
{
    if (m_mutex)
        CloseHandle(m_mutex);
}
} // namespace thermivox
