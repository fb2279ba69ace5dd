#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>
#include <oleauto.h>

struct BStrTraits
{
    using Handle = BSTR;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle text) noexcept { SysFreeString(text); }
};

// A BSTR allocated from a wide string (null gives the empty string), freed when its owner goes.
class BStr : public UniqueHandle<BStrTraits>
{
public:
    explicit BStr(const wchar_t* text) : UniqueHandle(SysAllocString(text ? text : L"")) {}
};
