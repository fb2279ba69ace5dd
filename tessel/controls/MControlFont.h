#pragma once

#include "tessel/controls/MControl.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/CSize.h"

#include <memory>

namespace Tessel
{

class ImgResInfo;

// A control with a title, text attributes and an image strip from the window's image cache.
// Text is drawn in the framework-wide face (Manager::GetFontName) at the control's own size and
// style; the control's face name is stored and reported only.
class TESSEL_API MControlFont : public MControl
{
public:
    // A null title gives an empty one. Face and size start as the framework-wide ones.
    MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled,
                 int mouseResponse);
    ~MControlFont() override;

    // --- Virtual operations, continuing MControl's slot order.
    virtual void SetTextFont(CString face);
    // Stores the colour and rebuilds the text brush; no repaint.
    virtual void SetTextColor(Gdiplus::Color color);
    // Image from the application's resources through the cache; 1 on success, 0 without a
    // manager or image (the previous image information is kept).
    virtual int SetImage(UINT id, CString type, int frameCount);
    // Image file from the skin folder through the cache; as above.
    virtual int SetImage(const wchar_t* file, int frameCount);
    virtual void SetControlTitle(const wchar_t* title);
    virtual CString GetControlTitle();

    // --- Title: SetTitle frees the cached GDI font and repaints when visible.
    void SetTitle(const wchar_t* title);
    CString GetTitle();

    // --- Alignment: h 0 left, 1 centre, 2 right (DT_LEFT/DT_CENTER/DT_RIGHT); v 0 top, 4 centre,
    // 8 bottom (DT_TOP/DT_VCENTER/DT_BOTTOM). A change repaints when visible.
    void SetAlignment(UINT hAlign);
    void SetVAlignment(UINT vAlign);
    void SetAlignment(UINT hAlign, UINT vAlign);
    void GetAlignment(UINT& hAlign, UINT& vAlign) const noexcept;

    // --- Font attributes: stored only (no repaint, cached GDI font kept).
    void SetFont(const wchar_t* face, int size, Gdiplus::FontStyle style);
    CString GetTextFont() const { return m_face; }
    void SetFontStyle(int style) noexcept { m_fontStyle = style; }
    int GetFontStyle() const noexcept { return m_fontStyle; }
    void SetFontWidth(int size) noexcept { m_fontSize = size; }
    int GetFontWidth() const noexcept { return m_fontSize; }
    Gdiplus::Color GetTextColor() const noexcept { return Gdiplus::Color(m_textColor); }
    // Solid brush of the text colour, owned by the control.
    Gdiplus::SolidBrush* GetTextBrush() const noexcept { return m_textBrush.get(); }
    void SetTextRenderingHint(Gdiplus::TextRenderingHint hint) noexcept { m_renderingHint = hint; }
    Gdiplus::TextRenderingHint GetTextRenderingHint() const noexcept { return m_renderingHint; }

    // --- Image strip (borrowed from the cache).
    Gdiplus::Image* GetImage() const noexcept { return m_image; }
    // (frame width, frame height).
    CSize GetImageSize() const noexcept { return CSize(m_frameWidth, m_frameHeight); }
    void SetImageCount(int count) noexcept { m_frameCount = count; }
    int GetImageCount() const noexcept { return m_frameCount; }
    CString GetImagePath() const { return m_imagePath; }

    // --- Fonts.
    // The family of the framework-wide face, cloned and kept by the control (the latest only);
    // null without a manager or when the face is not available.
    Gdiplus::FontFamily* GetFontFamily(const wchar_t* face);
    // The GDI font for this control's size and style in the framework-wide face; cached and
    // owned by the control.
    HFONT GetGDIFont();
    void ClearGDIFont();
    // A GDI+ font for drawing: the family above at em size (int)(size x scale factor), the
    // control's style, pixel units; null when there is no family.
    std::unique_ptr<Gdiplus::Font> CreateTextFont();

protected:
    // Stores the strip from a cache entry and repaints when visible.
    int ApplyImage(const ImgResInfo* info, int frameCount, const CString& path);

    Gdiplus::Image* m_image = nullptr; // borrowed from the window's image cache
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_frameCount = 4;

private:
    CString m_title;
    CString m_face;
    CString m_imagePath;
    int m_fontSize;
    Gdiplus::ARGB m_textColor = 0xFFFFFFFF;
    std::unique_ptr<Gdiplus::SolidBrush> m_textBrush;
    int m_fontStyle = Gdiplus::FontStyleRegular;
    std::unique_ptr<Gdiplus::FontFamily> m_family;
    UINT m_hAlign = 0;
    UINT m_vAlign = 4;
    Gdiplus::TextRenderingHint m_renderingHint = Gdiplus::TextRenderingHintClearTypeGridFit;
    FontHandle m_gdiFont;
};

} // namespace Tessel
