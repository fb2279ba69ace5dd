#pragma once

#include <windows.h>
#include <ole2.h>

namespace Tessel
{

// The drop source of a control drag: the drag ends when the left button is released and is
// cancelled with Escape. Reference-counted; created with a count of 1.
class CIDropSource : public IDropSource
{
public:
    CIDropSource() = default;
    CIDropSource(const CIDropSource&) = delete;
    CIDropSource& operator=(const CIDropSource&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    virtual ~CIDropSource() = default;
    LONG m_refs = 1;
};

} // namespace Tessel
