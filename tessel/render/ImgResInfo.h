#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/CString.h"

#include <memory>

namespace Tessel
{

// One image-cache entry: a decoded image strip of frameCount equal frames side by side.
// Owned by the window's image cache; controls borrow the image without owning it.
class TESSEL_API ImgResInfo
{
public:
    // A frame count below 1 counts as 1.
    ImgResInfo(std::unique_ptr<Gdiplus::Image> image, int frameCount, CString fileName, UINT resourceId);
    ~ImgResInfo();
    ImgResInfo(const ImgResInfo&) = delete;
    ImgResInfo& operator=(const ImgResInfo&) = delete;

    Gdiplus::Image* GetImage() const noexcept { return m_image.get(); }
    // Image width / frame count (integer division), computed once at load.
    int GetFrameWidth() const noexcept { return m_frameWidth; }
    int GetFrameHeight() const noexcept { return m_frameHeight; }
    int GetFrameCount() const noexcept { return m_frameCount; }
    // Key of file entries: the name relative to the skin folder, as requested.
    const CString& GetFileName() const noexcept { return m_fileName; }
    // Key of resource entries.
    UINT GetResourceId() const noexcept { return m_resourceId; }

private:
    std::unique_ptr<Gdiplus::Image> m_image;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_frameCount = 1;
    CString m_fileName;
    UINT m_resourceId = 0;
};

} // namespace Tessel
