#include "tessel/render/ImgResInfo.h"

namespace Tessel
{

ImgResInfo::ImgResInfo(std::unique_ptr<Gdiplus::Image> image, int frameCount, CString fileName,
                       UINT resourceId)
    : m_image(std::move(image)), m_frameCount(frameCount < 1 ? 1 : frameCount),
      m_fileName(std::move(fileName)), m_resourceId(resourceId)
{
    if (m_image)
    {
        m_frameHeight = static_cast<int>(m_image->GetHeight());
        m_frameWidth = static_cast<int>(m_image->GetWidth()) / m_frameCount;
    }
}

ImgResInfo::~ImgResInfo() = default;

} // namespace Tessel
