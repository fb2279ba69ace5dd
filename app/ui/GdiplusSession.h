#pragma once

#include "tessel/render/GdiplusHeaders.h"

// GDI+ (version 1, no debug callback, background thread and codecs not suppressed) for the
// lifetime of the object; shut down again only if it started.
class GdiplusSession
{
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    Gdiplus::Status Result() const { return m_status; }
    explicit operator bool() const { return m_status == Gdiplus::Ok; }

private:
    ULONG_PTR m_token = 0;
    Gdiplus::Status m_status;
};
