#include "tessel/paint/CIDropTarget.h"

namespace Tessel
{

CIDropTarget::CIDropTarget() : m_refs(1), m_target(nullptr), m_allowDrop(false) {}

CIDropTarget::~CIDropTarget()
{
    RevokeTarget();
}

bool CIDropTarget::RegisterTarget(HWND hwnd)
{
    RevokeTarget();
    if (FAILED(::RegisterDragDrop(hwnd, this)))
        return false;
    m_target = hwnd;
    return true;
}

void CIDropTarget::RevokeTarget()
{
    if (m_target)
    {
        ::RevokeDragDrop(m_target);
        m_target = nullptr;
    }
}

void CIDropTarget::AddSuportedFormat(const FORMATETC& format)
{
    m_formats.push_back(format);
}

HRESULT STDMETHODCALLTYPE CIDropTarget::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget)
    {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDropTarget::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_refs));
}

// The owner decides the lifetime; the count never deletes.
ULONG STDMETHODCALLTYPE CIDropTarget::Release()
{
    return static_cast<ULONG>(::InterlockedDecrement(&m_refs));
}

const FORMATETC* CIDropTarget::FindFormat(IDataObject* data) const
{
    if (!data)
        return nullptr;
    for (const FORMATETC& f : m_formats)
    {
        FORMATETC query = f;
        if (data->QueryGetData(&query) == S_OK)
            return &f;
    }
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    m_allowDrop = FindFormat(data) != nullptr;
    if (effect)
        *effect = m_allowDrop ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragOver(DWORD, POINTL, DWORD* effect)
{
    if (effect)
        *effect = m_allowDrop ? (*effect & DROPEFFECT_COPY) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragLeave()
{
    m_allowDrop = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    const FORMATETC* format = FindFormat(data);
    if (!format)
    {
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    FORMATETC query = *format;
    STGMEDIUM medium{};
    if (data->GetData(&query, &medium) == S_OK)
    {
        if (!OnDrop(&query, medium, effect) && effect)
            *effect = DROPEFFECT_NONE;
        ::ReleaseStgMedium(&medium);
    }
    m_allowDrop = false;
    return S_OK;
}

} // namespace Tessel
