#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/CRect.h"

#include <vector>

namespace Tessel
{

class MControl;
class MObject;

// Makes controls from their class-name strings. Names are compared exactly (case-sensitive,
// whole string), "CArea" first and then in table order; the first match decides the class and
// the constructor arguments. Names of the widget catalogue are known but not built here: they
// give null, as do empty and unknown names. Nothing is allocated for a null result.
class TESSEL_API ControlFactory
{
public:
    ControlFactory() = delete;

    // Constructor argument patterns, after parent, id and rectangle.
    enum Pattern
    {
        PATTERN_A, // first flag, 1
        PATTERN_B, // text, first flag
        PATTERN_C, // first flag, second flag
        PATTERN_D, // text, first flag, second flag
        PATTERN_E, // first flag
        PATTERN_F, // first flag, 1
        PATTERN_G, // text, first flag, 1
    };

    struct Entry
    {
        const wchar_t* name;
        Pattern pattern;
    };

    // "CArea", then the table in comparison order.
    static const std::vector<Entry>& GetEntries();
    // Index in GetEntries of the first exact match, or -1.
    static int Find(const wchar_t* className);
    // A new, unbound control (the caller binds it to a manager and owns it), or null.
    static MControl* Create(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* text, int first, int second);
};

} // namespace Tessel
