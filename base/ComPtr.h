#pragma once

#include "base/UniqueHandle.h"

#include <unknwn.h>

template <typename Interface> struct ComPtrTraits
{
    using Handle = Interface*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle reference) noexcept { reference->Release(); }
};

// Sole owner of one reference to a COM interface: a UniqueHandle that also reaches the interface's
// members. The constructor adopts a reference the caller already holds (no AddRef).
template <typename Interface> class ComPtr : public UniqueHandle<ComPtrTraits<Interface>>
{
public:
    using UniqueHandle<ComPtrTraits<Interface>>::UniqueHandle;

    Interface* operator->() const noexcept { return this->get(); }

    // Asks the held object for another of its interfaces; target gets the new reference.
    template <typename Other> HRESULT QueryInto(ComPtr<Other>& target) const noexcept
    {
        return this->get()->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(target.put()));
    }
};
