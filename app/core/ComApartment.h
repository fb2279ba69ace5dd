#pragma once

#include <windows.h>

// Joins the calling thread to a single-threaded COM apartment for the lifetime of the object;
// leaves it again only if the join succeeded (an already-joined thread counts as success).
class ComApartment
{
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT Result() const { return m_result; }
    bool Joined() const { return SUCCEEDED(m_result); }

private:
    HRESULT m_result;
};
