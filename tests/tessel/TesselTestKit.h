#pragma once

// The Tessel tests' kit: shared by the basic-control, factory, shadow, tip-bubble and gallery tests.

#include "tessel/controls/MControl.h"
#include "tessel/render/GdiObject.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/window/MDialog.h"
#include "tessel/window/MObject.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenSnapshot.h"
#include "tests/tessel/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The face embedded in Tessel.dll, which every Tessel window registers.
extern const wchar_t kEmbeddedFace[];

// GDI+, COM and OLE for the whole program, the application module, and the embedded face as the
// framework-wide face so that text is drawn here as it is in the product.
class ControlTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override;
    void TearDown() override;
};

// A parent that records what its controls tell it, in order.
class RecordingParent : public Tessel::MObject
{
public:
    struct Event
    {
        enum Kind
        {
            Notify, // OnBaseMessage
            Repaint // OnControlUpdate
        } kind;
        UINT id;    // control id (Notify)
        UINT code;  // notification code (Notify)
        int update; // update flag (Repaint)
    };

    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    LONG OnControlUpdate(Tessel::CRect rect, int update, Tessel::MControl* control) override;

    std::vector<Event> events;
    std::vector<UINT> Codes() const;
    int RepaintCount() const;
    void Clear() { events.clear(); }
};

// A hidden dialog whose paint manager is initialised (image cache, fonts) for controls to use.
class HostDialog : public Tessel::MDialog
{
public:
    explicit HostDialog(int width = 400, int height = 300, bool visible = false);
    ~HostDialog() override;
};

// A 32-bit top-down-addressed DIB surface to draw controls into, filled with one colour.
class Canvas
{
public:
    Canvas(int width, int height, DWORD argb);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC& DC() { return m_dc; }
    // 0xAARRGGBB at (x, y) from the top-left.
    DWORD At(int x, int y) const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Draws the control the way the paint manager does (Draw with the whole canvas as clip).
    void Draw(Tessel::MControl* control);
    // Rows / columns in the rectangle holding a pixel for which pred holds.
    template <typename Pred> void InkBounds(const RECT& area, Pred pred, RECT& bounds) const;
    // Saves the canvas as PNG into the artifacts folder under name.
    void SaveArtifact(const wchar_t* name) const;

private:
    HDC m_dc = nullptr;
    Tessel::BitmapHandle m_bitmap;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
    int m_width;
    int m_height;
};

template <typename Pred> void Canvas::InkBounds(const RECT& area, Pred pred, RECT& bounds) const
{
    bounds = {area.right, area.bottom, area.left - 1, area.top - 1};
    for (int y = area.top; y < area.bottom; ++y)
    {
        for (int x = area.left; x < area.right; ++x)
        {
            if (!pred(At(x, y)))
                continue;
            bounds.left = std::min<LONG>(bounds.left, x);
            bounds.top = std::min<LONG>(bounds.top, y);
            bounds.right = std::max<LONG>(bounds.right, x);
            bounds.bottom = std::max<LONG>(bounds.bottom, y);
        }
    }
}

inline int Red(DWORD c)
{
    return (c >> 16) & 0xFF;
}
inline int Green(DWORD c)
{
    return (c >> 8) & 0xFF;
}
inline int Blue(DWORD c)
{
    return c & 0xFF;
}
inline int Alpha(DWORD c)
{
    return (c >> 24) & 0xFF;
}
// Colour channels within tolerance (alpha ignored).
bool Near(DWORD a, DWORD b, int tolerance = 3);

// The skin folder of this test program, ending with a backslash.
std::wstring SkinFolder();

// Writes a PNG strip into the skin folder: frames side by side, each frameWidth x height and of
// one colour; deleted when the returned object goes. The name is unique to this process.
class SkinStrip
{
public:
    SkinStrip(const wchar_t* stem, int frameWidth, int height, const std::vector<Gdiplus::ARGB>& colors);
    // Frames given as a drawing function of (x, y) -> ARGB over the whole strip.
    template <typename Paint> SkinStrip(const wchar_t* stem, int width, int height, Paint paint);
    ~SkinStrip();
    SkinStrip(const SkinStrip&) = delete;
    SkinStrip& operator=(const SkinStrip&) = delete;
    const wchar_t* Name() const { return m_name.c_str(); }

private:
    void Write(Gdiplus::Bitmap& bitmap);
    std::wstring m_name;
};

template <typename Paint> SkinStrip::SkinStrip(const wchar_t* stem, int width, int height, Paint paint)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(paint(x, y)));
    m_name = std::wstring(stem) + L"_" + std::to_wstring(::GetCurrentProcessId()) + L".png";
    Write(bitmap);
}
