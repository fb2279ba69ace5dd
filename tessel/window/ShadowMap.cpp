#include "tessel/window/ShadowMap.h"

namespace Tessel
{

void ShadowMap::Add(HWND dialog, MShadow* shadow)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_shadows[dialog] = shadow;
}

void ShadowMap::Remove(HWND dialog, const MShadow* shadow)
{
    std::lock_guard<std::mutex> lock(m_lock);
    const auto found = m_shadows.find(dialog);
    if (found != m_shadows.end() && found->second == shadow)
        m_shadows.erase(found);
}

MShadow* ShadowMap::Find(HWND dialog) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    const auto found = m_shadows.find(dialog);
    return found != m_shadows.end() ? found->second : nullptr;
}

} // namespace Tessel
