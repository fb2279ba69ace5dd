#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/CRect.h"

namespace Tessel
{

class MControl;

// Root interface of everything that owns controls. A child reports to its parent only through
// OnBaseMessage (notifications) and OnControlUpdate (repaint requests).
class TESSEL_API MObject
{
public:
    MObject() = default;
    MObject(const MObject&) = delete;
    MObject& operator=(const MObject&) = delete;
    virtual ~MObject();

    // 1 when GetClassNameW equals name exactly, else 0.
    virtual int IsClass(const wchar_t* name);
    virtual const wchar_t* GetClassNameW() const;
    virtual const wchar_t* GetObjectClass();
    virtual const wchar_t* BaseObjectClassName();
    virtual LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam);
    virtual LONG OnControlUpdate(CRect rect, int update, MControl* control);
};

} // namespace Tessel
