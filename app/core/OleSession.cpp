#include "app/core/OleSession.h"

#include <ole2.h>

OleSession::OleSession() : m_result(OleInitialize(nullptr)) {}

OleSession::~OleSession()
{
    if (*this)
        OleUninitialize();
}
