#include "app/device/FirmwareVersionRequest.h"

void FirmwareVersionRequest::Answer(bool read, int version)
{
    m_version.store(version);
    m_read.store(read);
    SetEvent(m_answered.get());
}

bool FirmwareVersionRequest::Wait(DWORD ms, HANDLE cancel, int& version) const
{
    const HANDLE handles[2] = {m_answered.get(), cancel};
    const DWORD count = cancel != nullptr ? 2 : 1;
    if (WaitForMultipleObjects(count, handles, FALSE, ms) != WAIT_OBJECT_0 || !m_read.load())
    {
        return false;
    }
    version = m_version.load();
    return true;
}
