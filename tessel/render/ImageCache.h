#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/CriticalSection.h"
#include "tessel/render/ImgResInfo.h"

#include <map>
#include <memory>
#include <string>

namespace Tessel
{

// A window's image cache (held by its paint manager): every image named by several controls of
// the window is decoded once. Entries live until Clear. One lock guards all three maps, since
// controls ask for images from the window thread and from the multimedia-timer thread.
class TESSEL_API ImageCache
{
public:
    ImageCache();
    ~ImageCache();
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    // Image file relative to the skin folder; a present entry is returned unchanged whatever
    // frame count is asked now. A file that fails to load is not remembered, so a later
    // request tries again. Null on failure.
    ImgResInfo* Add(const wchar_t* file, int frameCount);
    // Resource of the given type from the application (fromApplication nonzero) or from
    // Tessel.dll; each module has its own map.
    ImgResInfo* Add(UINT id, const CString& type, int frameCount, int fromApplication);
    void Clear();

    // Number of entries in all three maps.
    size_t Count();

private:
    CriticalSection m_lock;
    std::map<std::wstring, std::unique_ptr<ImgResInfo>> m_files;
    std::map<UINT, std::unique_ptr<ImgResInfo>> m_appResources;
    std::map<UINT, std::unique_ptr<ImgResInfo>> m_frameworkResources;
};

} // namespace Tessel
