#include "tessel/paint/PaintManager.h"

#include "tessel/paint/CIDataObject.h"
#include "tessel/paint/CIDropSource.h"
#include "base/ComPtr.h"
#include "tessel/render/SelectedObject.h"
#include "tessel/render/WindowDC.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>

namespace Tessel
{

namespace
{
constexpr int kDragSlop = 2;

// Colour-table bytes that follow a packed DIB's header.
size_t ColorTableSize(const BITMAPINFOHEADER& h)
{
    size_t entries = h.biClrUsed;
    if (entries == 0 && h.biBitCount <= 8)
        entries = size_t(1) << h.biBitCount;
    size_t bytes = entries * sizeof(RGBQUAD);
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER))
        bytes += 3 * sizeof(DWORD);
    return bytes;
}

HBITMAP BitmapFromDib(HGLOBAL global)
{
    const SIZE_T size = ::GlobalSize(global);
    auto* info = static_cast<BITMAPINFO*>(::GlobalLock(global));
    if (!info)
        return nullptr;
    HBITMAP bitmap = nullptr;
    if (size >= sizeof(BITMAPINFOHEADER) && info->bmiHeader.biSize >= sizeof(BITMAPINFOHEADER) &&
        info->bmiHeader.biSize + ColorTableSize(info->bmiHeader) <= size)
    {
        const BYTE* bits =
            reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize + ColorTableSize(info->bmiHeader);
        WindowDC screen(nullptr);
        bitmap = ::CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
    }
    ::GlobalUnlock(global);
    return bitmap;
}

HBITMAP BitmapFromFile(HDROP drop)
{
    wchar_t path[MAX_PATH] = {};
    if (!::DragQueryFileW(drop, 0, path, MAX_PATH))
        return nullptr;
    Gdiplus::Bitmap image(path);
    if (image.GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    HBITMAP bitmap = nullptr;
    if (image.GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &bitmap) != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}

HBITMAP BitmapFromMetafile(HENHMETAFILE meta, HWND hwnd)
{
    ENHMETAHEADER header{};
    if (!::GetEnhMetaFileHeader(meta, sizeof(header), &header))
        return nullptr;
    WindowDC windowDc(hwnd);
    // The frame is in hundredths of a millimetre; the display's size and resolution turn it into pixels.
    const int mmWide = ::GetDeviceCaps(windowDc.get(), HORZSIZE);
    const int mmHigh = ::GetDeviceCaps(windowDc.get(), VERTSIZE);
    const int pxWide = ::GetDeviceCaps(windowDc.get(), HORZRES);
    const int pxHigh = ::GetDeviceCaps(windowDc.get(), VERTRES);
    HBITMAP bitmap = nullptr;
    if (mmWide > 0 && mmHigh > 0)
    {
        const int width = MulDiv(header.rclFrame.right - header.rclFrame.left, pxWide, mmWide * 100);
        const int height = MulDiv(header.rclFrame.bottom - header.rclFrame.top, pxHigh, mmHigh * 100);
        if (width > 0 && height > 0)
        {
            bitmap = ::CreateCompatibleBitmap(windowDc.get(), width, height);
            MemoryDC memDc(::CreateCompatibleDC(windowDc.get()));
            if (bitmap && memDc)
            {
                SelectedObject selected(memDc.get(), bitmap);
                RECT rc{0, 0, width, height};
                ::FillRect(memDc.get(), &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
                ::PlayEnhMetaFile(memDc.get(), meta, &rc);
            }
        }
    }
    return bitmap;
}

// A metafile that draws the bitmap at its own size.
HENHMETAFILE MetafileFromBitmap(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!::GetObjectW(bitmap, sizeof(bm), &bm))
        return nullptr;
    HDC metaDc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!metaDc)
        return nullptr;
    {
        MemoryDC source(::CreateCompatibleDC(nullptr));
        SelectedObject selected(source.get(), bitmap);
        ::BitBlt(metaDc, 0, 0, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, SRCCOPY);
    }
    return ::CloseEnhMetaFile(metaDc);
}
} // namespace

bool PaintManager::OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*)
{
    if (!format || !m_hWndPaint)
        return false;
    // A control pressed when the drag came in lets go first.
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SendMessageW(m_hWndPaint, WM_LBUTTONUP, 0, MAKELPARAM(cursor.x, cursor.y));

    HBITMAP bitmap = nullptr;
    switch (format->cfFormat)
    {
    case CF_DIB:
        if (medium.tymed == TYMED_HGLOBAL)
            bitmap = BitmapFromDib(medium.hGlobal);
        break;
    case CF_BITMAP:
        // The medium is released after the drop: the window gets its own copy.
        if (medium.tymed == TYMED_GDI)
            bitmap = static_cast<HBITMAP>(::CopyImage(medium.hBitmap, IMAGE_BITMAP, 0, 0, 0));
        break;
    case CF_HDROP:
        if (medium.tymed == TYMED_HGLOBAL)
            bitmap = BitmapFromFile(static_cast<HDROP>(medium.hGlobal));
        break;
    case CF_ENHMETAFILE:
        if (medium.tymed == TYMED_ENHMF)
            bitmap = BitmapFromMetafile(medium.hEnhMetaFile, m_hWndPaint);
        break;
    default:
        break;
    }
    if (!bitmap)
        return false;
    // The window takes the bitmap and hands back the one it held before.
    auto previous = reinterpret_cast<HBITMAP>(
        ::SendMessageW(m_hWndPaint, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous && previous != bitmap)
        ::DeleteObject(previous);
    return true;
}

bool PaintManager::TryBeginDrag(UINT, CPoint pt)
{
    const int dx = std::abs(pt.x - m_lastMousePt.x);
    const int dy = std::abs(pt.y - m_lastMousePt.y);
    m_lastMousePt = pt;
    if ((dx > kDragSlop && dy > kDragSlop) || !m_dragBitmap || !m_hWndPaint)
        return false;

    BITMAP bm{};
    ::GetObjectW(m_dragBitmap.get(), sizeof(bm), &bm);
    RECT window{};
    ::GetWindowRect(m_hWndPaint, &window);
    ::ClipCursor(&window);
    ReleaseCapture();

    ComPtr<CIDataObject> data(new CIDataObject());
    FORMATETC bitmapFormat{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM bitmapMedium{};
    bitmapMedium.tymed = TYMED_GDI;
    bitmapMedium.hBitmap = static_cast<HBITMAP>(::CopyImage(m_dragBitmap.get(), IMAGE_BITMAP, 0, 0, 0));
    if (bitmapMedium.hBitmap)
        data->Add(bitmapFormat, bitmapMedium);
    FORMATETC metaFormat{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    STGMEDIUM metaMedium{};
    metaMedium.tymed = TYMED_ENHMF;
    metaMedium.hEnhMetaFile = MetafileFromBitmap(m_dragBitmap.get());
    if (metaMedium.hEnhMetaFile)
        data->Add(metaFormat, metaMedium);

    ComPtr<IDragSourceHelper> helper;
    if (SUCCEEDED(::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IDragSourceHelper, reinterpret_cast<void**>(helper.put()))))
    {
        SHDRAGIMAGE image{};
        image.sizeDragImage = SIZE{bm.bmWidth, bm.bmHeight};
        image.ptOffset = POINT{bm.bmWidth / 2, bm.bmHeight / 2};
        image.hbmpDragImage = static_cast<HBITMAP>(::CopyImage(m_dragBitmap.get(), IMAGE_BITMAP, 0, 0, 0));
        image.crColorKey = CLR_NONE;
        // On success the helper owns the image bitmap.
        if (FAILED(helper->InitializeFromBitmap(&image, data.get())) && image.hbmpDragImage)
            ::DeleteObject(image.hbmpDragImage);
    }

    ComPtr<CIDropSource> source(new CIDropSource());
    DWORD effect = DROPEFFECT_NONE;
    ::DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);

    m_dragArmed = false;
    m_leftPressed = FALSE;
    ::ClipCursor(nullptr);
    return true;
}

} // namespace Tessel
