#include "tessel/paint/PaintManager.h"

#include "tessel/render/Manager.h"
#include "tessel/window/MShadow.h"

namespace Tessel
{

void PaintManager::ShadowDeleter::operator()(MShadow* shadow) const noexcept
{
    delete shadow;
}

void MShadow::Create(PaintManager* manager)
{
    Create(manager, manager ? manager->GetPaintWnd() : nullptr);
}

namespace
{
MShadow& ShadowOf(std::unique_ptr<MShadow, PaintManager::ShadowDeleter>& shadow)
{
    if (!shadow)
        shadow.reset(new MShadow());
    return *shadow;
}
} // namespace

int PaintManager::CreateShadow(int show, bool reinit)
{
    MShadow::Initialize(Manager::GetInstance(), reinit);
    MShadow& shadow = ShadowOf(m_shadow);
    shadow.ShowShadow(show);
    shadow.Create(this, m_hWndPaint);
    return shadow.GetShadowWnd() ? 1 : 0;
}

int PaintManager::SetSize(int size)
{
    return ShadowOf(m_shadow).SetSize(size);
}

int PaintManager::SetSharpness(UINT sharpness)
{
    return ShadowOf(m_shadow).SetSharpness(sharpness);
}

int PaintManager::SetDarkness(UINT darkness)
{
    return ShadowOf(m_shadow).SetDarkness(darkness);
}

int PaintManager::SetPosition(int x, int y)
{
    return ShadowOf(m_shadow).SetPosition(x, y);
}

int PaintManager::SetShadowColor(DWORD color)
{
    return ShadowOf(m_shadow).SetColor(color);
}

int PaintManager::SetShadowImage(const wchar_t* name, CRect margins)
{
    MShadow& shadow = ShadowOf(m_shadow);
    const int loaded = shadow.SetImage(name);
    shadow.SetShadowCorner(margins);
    return loaded;
}

int PaintManager::SetShadowImage(UINT id, CRect margins)
{
    MShadow& shadow = ShadowOf(m_shadow);
    const int loaded = shadow.SetImage(id);
    shadow.SetShadowCorner(margins);
    return loaded;
}

int PaintManager::SetShadowShow(int show)
{
    ShadowOf(m_shadow).ShowShadow(show);
    return 1;
}

int PaintManager::DisableShadow(int disable)
{
    ShadowOf(m_shadow).DisableShadow(disable);
    return 1;
}

} // namespace Tessel
