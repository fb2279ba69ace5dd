#pragma once

#include <windows.h>
#include <oleauto.h>

// Owner of one BSTR, allocated from a wide string and freed on destruction.
class BStr
{
public:
    explicit BStr(const wchar_t* text);
    ~BStr();
    BStr(const BStr&) = delete;
    BStr& operator=(const BStr&) = delete;

    BSTR get() const { return m_text; }
    explicit operator bool() const { return m_text != nullptr; }

private:
    BSTR m_text;
};
