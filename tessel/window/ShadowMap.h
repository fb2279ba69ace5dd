#pragma once

#include "tessel/TesselApi.h"

#include <windows.h>

#include <map>
#include <mutex>

namespace Tessel
{

class MShadow;

// The process-wide map from a dialog's window to the shadow that follows it
// (MShadow::GetShadowMap). Each dialog's own thread adds its entry when the shadow is created,
// reads it for every message of the dialog and removes it when the dialog or the shadow goes;
// the lock keeps dialogs of different threads apart.
class TESSEL_API ShadowMap
{
public:
    ShadowMap() = default;
    ShadowMap(const ShadowMap&) = delete;
    ShadowMap& operator=(const ShadowMap&) = delete;

    void Add(HWND dialog, MShadow* shadow);
    // Removes the dialog's entry while it still names this shadow.
    void Remove(HWND dialog, const MShadow* shadow);
    // The dialog's shadow; null when it has none.
    MShadow* Find(HWND dialog) const;

private:
    mutable std::mutex m_lock;
    std::map<HWND, MShadow*> m_shadows;
};

} // namespace Tessel
