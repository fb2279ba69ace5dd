#include "tessel/render/ImageCache.h"

#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"

namespace Tessel
{

ImageCache::ImageCache() = default;

ImageCache::~ImageCache()
{
    Clear();
}

ImgResInfo* ImageCache::Add(const wchar_t* file, int frameCount)
{
    const std::wstring name = file ? file : L"";
    if (name.empty())
        return nullptr;
    CsLock lock(m_lock);
    auto found = m_files.find(name);
    if (found != m_files.end())
        return found->second.get();
    std::unique_ptr<Gdiplus::Image> image =
        MRender::LoadImageFromFile(Manager::GetSkinFolder() + name.c_str());
    if (!image)
        return nullptr;
    auto entry = std::make_unique<ImgResInfo>(std::move(image), frameCount, CString(name.c_str()), 0u);
    ImgResInfo* result = entry.get();
    m_files.emplace(name, std::move(entry));
    return result;
}

ImgResInfo* ImageCache::Add(UINT id, const CString& type, int frameCount, int fromApplication)
{
    CsLock lock(m_lock);
    auto& map = fromApplication ? m_appResources : m_frameworkResources;
    auto found = map.find(id);
    if (found != map.end())
        return found->second.get();
    const HINSTANCE module = fromApplication ? Manager::GetInstance() : Manager::GetFrameworkModule();
    std::unique_ptr<Gdiplus::Image> image = MRender::LoadImageFromIDResource(id, type, module);
    if (!image)
        return nullptr;
    auto entry = std::make_unique<ImgResInfo>(std::move(image), frameCount, CString(), id);
    ImgResInfo* result = entry.get();
    map.emplace(id, std::move(entry));
    return result;
}

void ImageCache::Clear()
{
    CsLock lock(m_lock);
    m_files.clear();
    m_appResources.clear();
    m_frameworkResources.clear();
}

size_t ImageCache::Count()
{
    CsLock lock(m_lock);
    return m_files.size() + m_appResources.size() + m_frameworkResources.size();
}

} // namespace Tessel
