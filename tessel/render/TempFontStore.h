#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/CriticalSection.h"
#include "tessel/render/GdiplusHeaders.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Tessel
{

// A window's temporary fonts (held by its paint manager): GDI+ families by face name and the
// GDI registrations of the framework's embedded font. One lock guards both, since controls
// ask for families from the window thread and from the multimedia-timer thread.
class TESSEL_API TempFontStore
{
public:
    TempFontStore();
    ~TempFontStore();
    TempFontStore(const TempFontStore&) = delete;
    TempFontStore& operator=(const TempFontStore&) = delete;

    // Registers Tessel.dll's "ttf" resource id with GDI for this process; 1 on success. A
    // missing resource or failed registration changes nothing.
    int AddGDITempFont(UINT id);
    // Loads a font file, or Tessel.dll's "ttf" resource id, into a private collection and
    // records its first family under face. The store keeps the family (and its collection).
    Gdiplus::FontFamily* AddTempFont(const wchar_t* face, const wchar_t* file);
    Gdiplus::FontFamily* AddTempFont(const wchar_t* face, UINT id);
    // The family for the framework-wide face (Manager::GetFontName) whatever face is passed:
    // from the map, else from the installed fonts (then remembered). When that face is not
    // installed, the system's sans-serif family (or, where the system has none, the embedded
    // face), so that text is still drawn.
    Gdiplus::FontFamily* FindTempFont(const wchar_t* face);
    void ClearTempFont();

    size_t GetFamilyCount();
    size_t GetGDIFontCount();

private:
    struct Entry;
    Gdiplus::FontFamily* Store(const wchar_t* face, std::unique_ptr<Entry> entry);
    // Called under m_lock.
    Gdiplus::FontFamily* FallbackFamily();

    CriticalSection m_lock;
    std::map<std::wstring, std::unique_ptr<Entry>> m_families;
    std::vector<HANDLE> m_gdiFonts;
    std::unique_ptr<Entry> m_fallback; // made on first need; guarded by m_lock
};

} // namespace Tessel
