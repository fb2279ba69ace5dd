#include "app/core/BStr.h"

BStr::BStr(const wchar_t* text) : m_text(SysAllocString(text ? text : L"")) {}

BStr::~BStr()
{
    SysFreeString(m_text);
}
