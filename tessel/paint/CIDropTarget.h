#pragma once

#include "tessel/TesselApi.h"

#include <windows.h>
#include <ole2.h>

#include <vector>

namespace Tessel
{

// An OLE drop target embedded in its owner (the owner's lifetime rules, not the COM count,
// decide when it goes; the count only tracks OLE's references). Data in one of the accepted
// formats is handed to OnDrop.
class TESSEL_API CIDropTarget : public IDropTarget
{
public:
    CIDropTarget();
    CIDropTarget(const CIDropTarget&) = delete;
    CIDropTarget& operator=(const CIDropTarget&) = delete;
    virtual ~CIDropTarget();

    // Registers hwnd with OLE (RegisterDragDrop); false when OLE refuses.
    bool RegisterTarget(HWND hwnd);
    // RevokeDragDrop for the registered window, if any.
    void RevokeTarget();
    void AddSuportedFormat(const FORMATETC& format);

    // The dropped data, in the first accepted format the source offers; true when taken.
    virtual bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

private:
    // The first accepted format the data offers, or null.
    const FORMATETC* FindFormat(IDataObject* data) const;

    LONG m_refs;
    HWND m_target;
    bool m_allowDrop;
    std::vector<FORMATETC> m_formats;
};

} // namespace Tessel
