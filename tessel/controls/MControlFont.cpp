#include "tessel/controls/MControlFont.h"

#include "tessel/paint/PaintManager.h"
#include "tessel/render/ImgResInfo.h"
#include "tessel/render/Manager.h"

#include <algorithm>
#include <cwchar>

namespace Tessel
{

MControlFont::MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled, int mouseResponse)
    : MControl(parent, id, rect, visible, enabled, mouseResponse), m_title(title),
      m_face(Manager::GetFontName()), m_fontSize(Manager::GetFontWidth()),
      m_textBrush(std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(m_textColor)))
{
}

MControlFont::~MControlFont() = default;

// --- Virtual operations

void MControlFont::SetTextFont(CString face)
{
    m_face = face;
}

void MControlFont::SetTextColor(Gdiplus::Color color)
{
    m_textColor = color.GetValue();
    m_textBrush = std::make_unique<Gdiplus::SolidBrush>(color);
}

int MControlFont::SetImage(UINT id, CString type, int frameCount)
{
    PaintManager* manager = GetManager();
    if (!manager)
        return 0;
    return ApplyImage(manager->AddImgResInfo(id, type, frameCount, 1), frameCount, CString());
}

int MControlFont::SetImage(const wchar_t* file, int frameCount)
{
    PaintManager* manager = GetManager();
    if (!manager)
        return 0;
    return ApplyImage(manager->AddImgResInfo(file, frameCount), frameCount, CString(file));
}

void MControlFont::SetControlTitle(const wchar_t* title)
{
    m_title = title;
}

CString MControlFont::GetControlTitle()
{
    return m_title;
}

int MControlFont::ApplyImage(const ImgResInfo* info, int frameCount, const CString& path)
{
    if (!info)
        return 0;
    m_image = info->GetImage();
    m_frameWidth = info->GetFrameWidth();
    m_frameHeight = info->GetFrameHeight();
    m_frameCount = std::max(1, frameCount);
    m_imagePath = path;
    UpdateControl(1, 0);
    return 1;
}

// --- Title and alignment

void MControlFont::SetTitle(const wchar_t* title)
{
    ClearGDIFont();
    SetControlTitle(title);
    UpdateControl(1, 0);
}

CString MControlFont::GetTitle()
{
    return GetControlTitle();
}

void MControlFont::SetAlignment(UINT hAlign)
{
    if (hAlign == m_hAlign)
        return;
    m_hAlign = hAlign;
    UpdateControl(1, 0);
}

void MControlFont::SetVAlignment(UINT vAlign)
{
    if (vAlign == m_vAlign)
        return;
    m_vAlign = vAlign;
    UpdateControl(1, 0);
}

void MControlFont::SetAlignment(UINT hAlign, UINT vAlign)
{
    if (hAlign == m_hAlign && vAlign == m_vAlign)
        return;
    m_hAlign = hAlign;
    m_vAlign = vAlign;
    UpdateControl(1, 0);
}

void MControlFont::GetAlignment(UINT& hAlign, UINT& vAlign) const noexcept
{
    hAlign = m_hAlign;
    vAlign = m_vAlign;
}

void MControlFont::SetFont(const wchar_t* face, int size, Gdiplus::FontStyle style)
{
    m_face = face;
    m_fontSize = size;
    m_fontStyle = style;
}

// --- Fonts

Gdiplus::FontFamily* MControlFont::GetFontFamily(const wchar_t* face)
{
    PaintManager* manager = GetManager();
    if (!manager)
        return nullptr;
    Gdiplus::FontFamily* shared = manager->FindTempFont(face);
    if (!shared)
        return nullptr;
    std::unique_ptr<Gdiplus::FontFamily> clone(shared->Clone());
    if (!clone || clone->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    m_family = std::move(clone);
    return m_family.get();
}

HFONT MControlFont::GetGDIFont()
{
    if (m_gdiFont)
        return m_gdiFont.get();
    LOGFONTW font = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    const CString face = Manager::GetFontName();
    std::wcsncpy(font.lfFaceName, face.GetString(), LF_FACESIZE - 1);
    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    font.lfHeight = -m_fontSize;
    font.lfCharSet = DEFAULT_CHARSET;
    if (m_fontStyle & Gdiplus::FontStyleBold)
        font.lfWeight = std::min<LONG>(font.lfWeight + 700, 1000); // the weight scale ends at 1000
    if (m_fontStyle & Gdiplus::FontStyleItalic)
        font.lfItalic = TRUE;
    if (m_fontStyle & Gdiplus::FontStyleUnderline)
        font.lfUnderline = TRUE;
    m_gdiFont.reset(::CreateFontIndirectW(&font));
    return m_gdiFont.get();
}

void MControlFont::ClearGDIFont()
{
    m_gdiFont.reset();
}

std::unique_ptr<Gdiplus::Font> MControlFont::CreateTextFont()
{
    Gdiplus::FontFamily* family = GetFontFamily(m_face.GetString());
    if (!family)
        return nullptr;
    const float size =
        static_cast<float>(static_cast<int>(static_cast<float>(m_fontSize) * Manager::GetScaleValue()));
    auto font = std::make_unique<Gdiplus::Font>(family, size, m_fontStyle, Gdiplus::UnitPixel);
    if (font->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return font;
}

} // namespace Tessel
