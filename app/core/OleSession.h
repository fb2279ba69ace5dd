#pragma once

#include <windows.h>

// OLE on the calling thread for the lifetime of the object; uninitialised again only if the
// initialisation succeeded (S_FALSE, already initialised, counts as success and is balanced too).
class OleSession
{
public:
    OleSession();
    ~OleSession();
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    HRESULT Result() const { return m_result; }
    explicit operator bool() const { return SUCCEEDED(m_result); }

private:
    HRESULT m_result;
};
