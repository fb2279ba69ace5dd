#include "tessel/paint/CIDataObject.h"

#include <shlobj.h>

namespace Tessel
{

namespace
{
// A copy of a medium that the receiver releases on its own.
HRESULT CopyMedium(const FORMATETC& format, const STGMEDIUM& source, STGMEDIUM* copy)
{
    *copy = STGMEDIUM{};
    switch (source.tymed)
    {
    case TYMED_GDI:
        copy->hBitmap = static_cast<HBITMAP>(::CopyImage(source.hBitmap, IMAGE_BITMAP, 0, 0, 0));
        break;
    case TYMED_ENHMF:
        copy->hEnhMetaFile = ::CopyEnhMetaFileW(source.hEnhMetaFile, nullptr);
        break;
    case TYMED_HGLOBAL:
        copy->hGlobal = static_cast<HGLOBAL>(::OleDuplicateData(source.hGlobal, format.cfFormat, 0));
        break;
    default:
        return DV_E_TYMED;
    }
    if (!copy->hGlobal && !copy->hBitmap && !copy->hEnhMetaFile)
        return E_OUTOFMEMORY;
    copy->tymed = source.tymed;
    return S_OK;
}
} // namespace

CIDataObject::~CIDataObject()
{
    for (STGMEDIUM& m : m_media)
        ::ReleaseStgMedium(&m);
}

void CIDataObject::Add(const FORMATETC& format, const STGMEDIUM& medium)
{
    m_formats.push_back(format);
    m_media.push_back(medium);
}

int CIDataObject::Find(const FORMATETC* format) const
{
    if (!format)
        return -1;
    for (size_t i = 0; i < m_formats.size(); ++i)
    {
        if (m_formats[i].cfFormat == format->cfFormat && (m_formats[i].tymed & format->tymed) &&
            m_formats[i].dwAspect == format->dwAspect)
            return static_cast<int>(i);
    }
    return -1;
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDataObject)
    {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDataObject::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_refs));
}

ULONG STDMETHODCALLTYPE CIDataObject::Release()
{
    const LONG left = ::InterlockedDecrement(&m_refs);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium)
        return E_POINTER;
    const int i = Find(format);
    if (i < 0)
        return DV_E_FORMATETC;
    return CopyMedium(m_formats[static_cast<size_t>(i)], m_media[static_cast<size_t>(i)], medium);
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryGetData(FORMATETC* format)
{
    return Find(format) >= 0 ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CIDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release)
{
    if (!format || !medium)
        return E_INVALIDARG;
    if (release)
    {
        Add(*format, *medium);
        return S_OK;
    }
    STGMEDIUM copy{};
    const HRESULT hr = CopyMedium(*format, *medium, &copy);
    if (SUCCEEDED(hr))
        Add(*format, copy);
    return hr;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator)
{
    if (!enumerator)
        return E_POINTER;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(m_formats.size()), m_formats.data(), enumerator);
}

HRESULT STDMETHODCALLTYPE CIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

} // namespace Tessel
