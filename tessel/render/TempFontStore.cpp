#include "tessel/render/TempFontStore.h"

#include "tessel/render/Manager.h"
#include "tessel/render/CString.h"

namespace Tessel
{

// The family of a private collection is kept together with its collection: GDI+ does not
// promise that a family outlives the collection it came from.
struct TempFontStore::Entry
{
    std::unique_ptr<Gdiplus::PrivateFontCollection> collection;
    std::unique_ptr<Gdiplus::FontFamily> family;
};

namespace
{

constexpr UINT kEmbeddedFontId = 106; // "Open Sans Semibold"

struct ResourceBytes
{
    const void* data = nullptr;
    DWORD size = 0;
};

// Bytes of a "ttf" resource of Tessel.dll; they stay valid while the library is loaded.
ResourceBytes FindFontResource(UINT id)
{
    ResourceBytes bytes;
    const HMODULE module = Manager::GetFrameworkModule();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"TTF");
    if (!info)
        return bytes;
    HGLOBAL loaded = ::LoadResource(module, info);
    if (!loaded)
        return bytes;
    bytes.data = ::LockResource(loaded);
    bytes.size = bytes.data ? ::SizeofResource(module, info) : 0;
    return bytes;
}

// The first family of a collection, cloned; null when it has none.
std::unique_ptr<Gdiplus::FontFamily> FirstFamily(Gdiplus::PrivateFontCollection& collection)
{
    if (collection.GetFamilyCount() < 1)
        return nullptr;
    Gdiplus::FontFamily family;
    INT found = 0;
    if (collection.GetFamilies(1, &family, &found) != Gdiplus::Ok || found < 1)
        return nullptr;
    std::unique_ptr<Gdiplus::FontFamily> clone(family.Clone());
    if (!clone || clone->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return clone;
}

// The framework's embedded font in a private collection of its own; null when it cannot be had.
std::unique_ptr<Gdiplus::PrivateFontCollection> EmbeddedFontCollection()
{
    const ResourceBytes bytes = FindFontResource(kEmbeddedFontId);
    if (!bytes.data || !bytes.size)
        return nullptr;
    auto collection = std::make_unique<Gdiplus::PrivateFontCollection>();
    if (collection->AddMemoryFont(bytes.data, static_cast<INT>(bytes.size)) != Gdiplus::Ok)
        return nullptr;
    return collection;
}

// The system's sans-serif family as a family of our own. The header's GenericSansSerif() keeps
// one process-wide copy that nothing guards and that outlives a GDI+ shutdown, so the flat call
// is used and its family is re-made by name.
std::unique_ptr<Gdiplus::FontFamily> SystemSansSerif()
{
    Gdiplus::GpFontFamily* generic = nullptr;
    if (Gdiplus::DllExports::GdipGetGenericFontFamilySansSerif(&generic) != Gdiplus::Ok || !generic)
        return nullptr;
    wchar_t name[LF_FACESIZE] = {};
    const Gdiplus::Status named = Gdiplus::DllExports::GdipGetFamilyName(generic, name, LANG_NEUTRAL);
    Gdiplus::DllExports::GdipDeleteFontFamily(generic);
    if (named != Gdiplus::Ok)
        return nullptr;
    auto family = std::make_unique<Gdiplus::FontFamily>(name);
    if (family->GetLastStatus() != Gdiplus::Ok || !family->IsAvailable())
        return nullptr;
    return family;
}

} // namespace

TempFontStore::TempFontStore() = default;

TempFontStore::~TempFontStore()
{
    ClearTempFont();
}

int TempFontStore::AddGDITempFont(UINT id)
{
    const ResourceBytes bytes = FindFontResource(id);
    if (!bytes.data || !bytes.size)
        return 0;
    DWORD fonts = 0;
    HANDLE handle = ::AddFontMemResourceEx(const_cast<void*>(bytes.data), bytes.size, nullptr, &fonts);
    if (!handle)
        return 0;
    CsLock lock(m_lock);
    m_gdiFonts.push_back(handle);
    return 1;
}

Gdiplus::FontFamily* TempFontStore::AddTempFont(const wchar_t* face, const wchar_t* file)
{
    if (!file || !*file)
        return nullptr;
    auto entry = std::make_unique<Entry>();
    entry->collection = std::make_unique<Gdiplus::PrivateFontCollection>();
    if (entry->collection->AddFontFile(file) != Gdiplus::Ok)
        return nullptr;
    entry->family = FirstFamily(*entry->collection);
    if (!entry->family)
        return nullptr;
    return Store(face, std::move(entry));
}

Gdiplus::FontFamily* TempFontStore::AddTempFont(const wchar_t* face, UINT id)
{
    const ResourceBytes bytes = FindFontResource(id);
    if (!bytes.data || !bytes.size)
        return nullptr;
    auto entry = std::make_unique<Entry>();
    entry->collection = std::make_unique<Gdiplus::PrivateFontCollection>();
    if (entry->collection->AddMemoryFont(bytes.data, static_cast<INT>(bytes.size)) != Gdiplus::Ok)
        return nullptr;
    entry->family = FirstFamily(*entry->collection);
    if (!entry->family)
        return nullptr;
    return Store(face, std::move(entry));
}

Gdiplus::FontFamily* TempFontStore::Store(const wchar_t* face, std::unique_ptr<Entry> entry)
{
    CsLock lock(m_lock);
    auto& slot = m_families[face ? face : L""];
    slot = std::move(entry);
    return slot->family.get();
}

Gdiplus::FontFamily* TempFontStore::FindTempFont(const wchar_t*)
{
    // Text is always drawn in the framework-wide face, whatever face a control asks for.
    const CString name = Manager::GetFontName();
    const std::wstring key = name.GetString();
    CsLock lock(m_lock);
    auto found = m_families.find(key);
    if (found != m_families.end())
        return found->second->family.get();
    auto entry = std::make_unique<Entry>();
    entry->family = std::make_unique<Gdiplus::FontFamily>(name.GetString());
    if (entry->family->GetLastStatus() != Gdiplus::Ok || !entry->family->IsAvailable())
        return FallbackFamily();
    Gdiplus::FontFamily* family = entry->family.get();
    m_families.emplace(key, std::move(entry));
    return family;
}

Gdiplus::FontFamily* TempFontStore::FallbackFamily()
{
    // Not filed under the missing face, so that the face is looked for again next time (a font
    // installed meanwhile takes over).
    if (m_fallback)
        return m_fallback->family.get();
    auto entry = std::make_unique<Entry>();
    entry->family = SystemSansSerif();
    if (!entry->family)
    {
        // A system without its sans-serif face (Wine without its own fonts): the framework's
        // embedded face, which is always there.
        entry->collection = EmbeddedFontCollection();
        if (entry->collection)
            entry->family = FirstFamily(*entry->collection);
    }
    if (!entry->family)
        return nullptr;
    m_fallback = std::move(entry);
    return m_fallback->family.get();
}

void TempFontStore::ClearTempFont()
{
    CsLock lock(m_lock);
    m_families.clear();
    m_fallback.reset();
    for (HANDLE handle : m_gdiFonts)
        ::RemoveFontMemResourceEx(handle);
    m_gdiFonts.clear();
}

size_t TempFontStore::GetFamilyCount()
{
    CsLock lock(m_lock);
    return m_families.size();
}

size_t TempFontStore::GetGDIFontCount()
{
    CsLock lock(m_lock);
    return m_gdiFonts.size();
}

} // namespace Tessel
