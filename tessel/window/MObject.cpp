#include "tessel/window/MObject.h"

#include <cwchar>

namespace Tessel
{

MObject::~MObject() = default;

int MObject::IsClass(const wchar_t* name)
{
    const wchar_t* own = GetClassNameW();
    if (!own || !name)
        return 0;
    return std::wcscmp(own, name) == 0 ? 1 : 0;
}

const wchar_t* MObject::GetClassNameW() const
{
    return nullptr;
}

const wchar_t* MObject::GetObjectClass()
{
    return nullptr;
}

const wchar_t* MObject::BaseObjectClassName()
{
    return nullptr;
}

LONG MObject::OnBaseMessage(UINT, UINT, UINT, LONG)
{
    return 0;
}

LONG MObject::OnControlUpdate(CRect, int, MControl*)
{
    return 0;
}

} // namespace Tessel
