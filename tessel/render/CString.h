#pragma once

#include "tessel/TesselApi.h"

#include <cstdarg>

namespace Tessel
{

// Reference-counted UTF-16 string. Copies share one buffer until one of them is changed
// (copy on write); the count is atomic so copies may be handed to other threads.
// A null pointer given to any operation counts as the empty string, and GetString never
// returns null.
class TESSEL_API CString
{
public:
    CString() noexcept : m_data(nullptr) {}
    CString(const wchar_t* text);
    CString(const wchar_t* text, int length);
    explicit CString(wchar_t ch, int repeat = 1);
    CString(const CString& other) noexcept;
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other) noexcept;
    CString& operator=(CString&& other) noexcept;
    CString& operator=(const wchar_t* text);

    const wchar_t* GetString() const noexcept;
    int GetLength() const noexcept;
    bool IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty() noexcept;
    void SetString(const wchar_t* text, int length);

    // Out-of-range indexes yield 0.
    wchar_t GetAt(int index) const noexcept;
    wchar_t operator[](int index) const noexcept { return GetAt(index); }
    void SetAt(int index, wchar_t ch);

    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);
    void Append(const wchar_t* text, int length);

    // <0, 0, >0 like wcscmp; NoCase folds with towlower.
    int Compare(const wchar_t* text) const noexcept;
    int CompareNoCase(const wchar_t* text) const noexcept;

    // Index of the first match at or after start, or -1.
    int Find(wchar_t ch, int start = 0) const noexcept;
    int Find(const wchar_t* sub, int start = 0) const noexcept;
    int ReverseFind(wchar_t ch) const noexcept;

    // Counts are clamped to the string.
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Return the number of replacements.
    int Replace(wchar_t oldCh, wchar_t newCh);
    int Replace(const wchar_t* oldText, const wchar_t* newText);

    CString& MakeLower();
    CString& MakeUpper();
    CString& Trim();
    CString& Truncate(int length);

    // printf-style; %s takes a wide string and %hs a narrow one, %d, %u, %x, %f as usual.
    void Format(const wchar_t* format, ...);
    void AppendFormat(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);

    // Writable buffer of at least minLength characters plus the terminator; call
    // ReleaseBuffer (with the new length, or -1 to measure it) before any other use.
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    // Whether both share one buffer (copy on write not yet triggered).
    bool SharesBuffer(const CString& other) const noexcept
    {
        return m_data != nullptr && m_data == other.m_data;
    }

    friend bool operator==(const CString& a, const CString& b) noexcept
    {
        return a.Compare(b.GetString()) == 0;
    }
    friend bool operator==(const CString& a, const wchar_t* b) noexcept { return a.Compare(b) == 0; }
    friend bool operator==(const wchar_t* a, const CString& b) noexcept { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) noexcept { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) noexcept { return !(a == b); }
    friend bool operator!=(const wchar_t* a, const CString& b) noexcept { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) noexcept
    {
        return a.Compare(b.GetString()) < 0;
    }

    friend CString operator+(const CString& a, const CString& b)
    {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const CString& a, const wchar_t* b)
    {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const wchar_t* a, const CString& b)
    {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const CString& a, wchar_t b)
    {
        CString r(a);
        r += b;
        return r;
    }

private:
    struct Data;
    void Release() noexcept;
    // Makes the buffer unshared with room for capacity characters, keeping the text.
    wchar_t* Reserve(int capacity);

    Data* m_data;
};

} // namespace Tessel
