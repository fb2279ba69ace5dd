#include "tessel/paint/PaintManager.h"

#include "tessel/paint/ControlFactory.h"

namespace Tessel
{

MControl* PaintManager::CreateControl(UINT list, MObject* parent, const wchar_t* className, UINT id,
                                      CRect rect, const wchar_t* text, int first, int second)
{
    return AddControl(ControlFactory::Create(parent, className, id, rect, text, first, second), list);
}

} // namespace Tessel
