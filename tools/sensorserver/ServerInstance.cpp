#include "tools/sensorserver/ServerInstance.h"

namespace thermivox
{
ServerInstance::ServerInstance() : m_mutex(CreateMutexW(nullptr, TRUE, kMutexName))
{
    // Failing to create the mutex at all is no proof of another copy: serve anyway.
    if (m_mutex == nullptr || GetLastError() != ERROR_ALREADY_EXISTS)
    {
        m_onlyOne = true;
        return;
    }
    const DWORD wait = WaitForSingleObject(m_mutex, kHandoverWaitMs);
    m_onlyOne = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

ServerInstance::~ServerInstance()
{
    if (!m_mutex)
        return;
    if (m_onlyOne)
        ReleaseMutex(m_mutex);
    CloseHandle(m_mutex);
}
} // namespace thermivox
