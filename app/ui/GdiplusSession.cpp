#include "app/ui/GdiplusSession.h"

namespace
{
Gdiplus::Status Start(ULONG_PTR& token)
{
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr);
}
} // namespace

GdiplusSession::GdiplusSession() : m_status(Start(m_token)) {}

GdiplusSession::~GdiplusSession()
{
    if (*this)
        Gdiplus::GdiplusShutdown(m_token);
}
