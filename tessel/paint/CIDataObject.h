#pragma once

#include <windows.h>
#include <ole2.h>

#include <vector>

namespace Tessel
{

// A data object holding a few (format, medium) pairs; it owns the media and hands out copies.
// Reference-counted; created with a count of 1.
class CIDataObject : public IDataObject
{
public:
    CIDataObject() = default;
    CIDataObject(const CIDataObject&) = delete;
    CIDataObject& operator=(const CIDataObject&) = delete;

    // Takes ownership of the medium.
    void Add(const FORMATETC& format, const STGMEDIUM& medium);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override;

private:
    virtual ~CIDataObject();
    int Find(const FORMATETC* format) const;

    LONG m_refs = 1;
    std::vector<FORMATETC> m_formats;
    std::vector<STGMEDIUM> m_media;
};

} // namespace Tessel
