#include "tessel/render/CString.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>

namespace Tessel
{

struct CString::Data
{
    std::atomic<int> refs;
    int length;
    int capacity;
    wchar_t* Chars() noexcept { return reinterpret_cast<wchar_t*>(this + 1); }

    static Data* Allocate(int capacity)
    {
        void* mem = ::operator new(sizeof(Data) + sizeof(wchar_t) * (static_cast<size_t>(capacity) + 1));
        Data* d = new (mem) Data;
        d->refs.store(1, std::memory_order_relaxed);
        d->length = 0;
        d->capacity = capacity;
        d->Chars()[0] = 0;
        return d;
    }
    static void Free(Data* d) noexcept
    {
        d->~Data();
        ::operator delete(d);
    }
};

namespace
{
int Length(const wchar_t* text) noexcept
{
    return text ? static_cast<int>(std::wcslen(text)) : 0;
}
} // namespace

CString::CString(const wchar_t* text) : m_data(nullptr)
{
    SetString(text, Length(text));
}

CString::CString(const wchar_t* text, int length) : m_data(nullptr)
{
    SetString(text, text ? length : 0);
}

CString::CString(wchar_t ch, int repeat) : m_data(nullptr)
{
    if (repeat <= 0)
        return;
    wchar_t* p = Reserve(repeat);
    for (int i = 0; i < repeat; ++i)
        p[i] = ch;
    p[repeat] = 0;
    m_data->length = repeat;
}

CString::CString(const CString& other) noexcept : m_data(other.m_data)
{
    if (m_data)
        m_data->refs.fetch_add(1, std::memory_order_relaxed);
}

CString::CString(CString&& other) noexcept : m_data(other.m_data)
{
    other.m_data = nullptr;
}

CString::~CString()
{
    Release();
}

void CString::Release() noexcept
{
    if (m_data && m_data->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        Data::Free(m_data);
    m_data = nullptr;
}

CString& CString::operator=(const CString& other) noexcept
{
    if (m_data != other.m_data)
    {
        if (other.m_data)
            other.m_data->refs.fetch_add(1, std::memory_order_relaxed);
        Release();
        m_data = other.m_data;
    }
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other)
    {
        Release();
        m_data = other.m_data;
        other.m_data = nullptr;
    }
    return *this;
}

CString& CString::operator=(const wchar_t* text)
{
    SetString(text, Length(text));
    return *this;
}

const wchar_t* CString::GetString() const noexcept
{
    return m_data ? m_data->Chars() : L"";
}

int CString::GetLength() const noexcept
{
    return m_data ? m_data->length : 0;
}

void CString::Empty() noexcept
{
    Release();
}

wchar_t* CString::Reserve(int capacity)
{
    if (capacity < 0)
        capacity = 0;
    if (m_data && m_data->refs.load(std::memory_order_acquire) == 1 && m_data->capacity >= capacity)
        return m_data->Chars();
    const int keep = GetLength();
    int grown = capacity;
    if (m_data && grown < m_data->capacity)
        grown = m_data->capacity;
    if (grown < keep)
        grown = keep;
    Data* d = Data::Allocate(grown);
    if (keep > 0)
        std::memcpy(d->Chars(), m_data->Chars(), sizeof(wchar_t) * (static_cast<size_t>(keep) + 1));
    d->length = keep;
    Release();
    m_data = d;
    return d->Chars();
}

void CString::SetString(const wchar_t* text, int length)
{
    if (!text || length <= 0)
    {
        Release();
        return;
    }
    // The text may point into our own buffer: copy into a fresh one first.
    Data* d = Data::Allocate(length);
    std::memcpy(d->Chars(), text, sizeof(wchar_t) * static_cast<size_t>(length));
    d->Chars()[length] = 0;
    d->length = length;
    Release();
    m_data = d;
}

wchar_t CString::GetAt(int index) const noexcept
{
    return (index >= 0 && index < GetLength()) ? m_data->Chars()[index] : 0;
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= GetLength())
        return;
    Reserve(GetLength())[index] = ch;
}

void CString::Append(const wchar_t* text, int length)
{
    if (!text || length <= 0)
        return;
    const int old = GetLength();
    if (m_data && text >= m_data->Chars() && text <= m_data->Chars() + old)
    {
        // Appending a part of ourselves: the buffer may move.
        CString copy(text, length);
        Append(copy.GetString(), length);
        return;
    }
    const int need = old + length;
    int cap = (m_data && m_data->capacity >= need) ? m_data->capacity : need;
    if (!(m_data && m_data->capacity >= need) && old > 0)
        cap = need + need / 2;
    wchar_t* p = Reserve(cap);
    std::memcpy(p + old, text, sizeof(wchar_t) * static_cast<size_t>(length));
    p[need] = 0;
    m_data->length = need;
}

CString& CString::operator+=(const CString& text)
{
    if (text.m_data == m_data)
    {
        CString copy(text);
        Append(copy.GetString(), copy.GetLength());
        return *this;
    }
    Append(text.GetString(), text.GetLength());
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    Append(text, Length(text));
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    Append(&ch, 1);
    return *this;
}

int CString::Compare(const wchar_t* text) const noexcept
{
    return std::wcscmp(GetString(), text ? text : L"");
}

int CString::CompareNoCase(const wchar_t* text) const noexcept
{
    const wchar_t* a = GetString();
    const wchar_t* b = text ? text : L"";
    for (;; ++a, ++b)
    {
        const wint_t ca = std::towlower(*a);
        const wint_t cb = std::towlower(*b);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

int CString::Find(wchar_t ch, int start) const noexcept
{
    const int len = GetLength();
    if (start < 0)
        start = 0;
    for (int i = start; i < len; ++i)
        if (m_data->Chars()[i] == ch)
            return i;
    return -1;
}

int CString::Find(const wchar_t* sub, int start) const noexcept
{
    const int len = GetLength();
    if (start < 0)
        start = 0;
    if (start > len)
        return -1;
    const wchar_t* base = GetString();
    const wchar_t* hit = std::wcsstr(base + start, sub ? sub : L"");
    return hit ? static_cast<int>(hit - base) : -1;
}

int CString::ReverseFind(wchar_t ch) const noexcept
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_data->Chars()[i] == ch)
            return i;
    return -1;
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    const int len = GetLength();
    if (count > len)
        count = len;
    return Mid(len - count, count);
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    const int len = GetLength();
    if (first < 0)
        first = 0;
    if (first >= len || count <= 0)
        return CString();
    if (count > len - first)
        count = len - first;
    if (first == 0 && count == len)
        return *this;
    return CString(GetString() + first, count);
}

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    int n = 0;
    const int len = GetLength();
    for (int i = 0; i < len; ++i)
    {
        if (m_data->Chars()[i] == oldCh)
        {
            Reserve(len)[i] = newCh;
            ++n;
        }
    }
    return n;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    const int oldLen = Length(oldText);
    if (oldLen == 0)
        return 0;
    const int newLen = Length(newText);
    CString result;
    int n = 0;
    int pos = 0;
    for (int hit = Find(oldText, 0); hit >= 0; hit = Find(oldText, pos))
    {
        result.Append(GetString() + pos, hit - pos);
        result.Append(newText, newLen);
        pos = hit + oldLen;
        ++n;
    }
    if (n == 0)
        return 0;
    result.Append(GetString() + pos, GetLength() - pos);
    *this = std::move(result);
    return n;
}

CString& CString::MakeLower()
{
    const int len = GetLength();
    if (len > 0)
    {
        wchar_t* p = Reserve(len);
        for (int i = 0; i < len; ++i)
            p[i] = static_cast<wchar_t>(std::towlower(p[i]));
    }
    return *this;
}

CString& CString::MakeUpper()
{
    const int len = GetLength();
    if (len > 0)
    {
        wchar_t* p = Reserve(len);
        for (int i = 0; i < len; ++i)
            p[i] = static_cast<wchar_t>(std::towupper(p[i]));
    }
    return *this;
}

CString& CString::Trim()
{
    const wchar_t* s = GetString();
    int first = 0;
    int last = GetLength();
    while (first < last && std::iswspace(s[first]))
        ++first;
    while (last > first && std::iswspace(s[last - 1]))
        --last;
    if (first != 0 || last != GetLength())
        *this = Mid(first, last - first);
    return *this;
}

CString& CString::Truncate(int length)
{
    if (length <= 0)
        Release();
    else if (length < GetLength())
    {
        wchar_t* p = Reserve(GetLength());
        p[length] = 0;
        m_data->length = length;
    }
    return *this;
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    Empty();
    if (!format)
        return;
    int cap = 256;
    for (;;)
    {
        CString buf;
        wchar_t* p = buf.Reserve(cap);
        va_list copy;
        va_copy(copy, args);
        const int n = _vsnwprintf(p, static_cast<size_t>(cap) + 1, format, copy);
        va_end(copy);
        if (n >= 0 && n <= cap)
        {
            p[n] = 0;
            buf.m_data->length = n;
            if (n == 0)
                buf.Release();
            *this = std::move(buf);
            return;
        }
        if (cap > (1 << 24))
            return;
        cap = (n > cap) ? n : cap * 2;
    }
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    CString more;
    va_list args;
    va_start(args, format);
    more.FormatV(format, args);
    va_end(args);
    *this += more;
}

wchar_t* CString::GetBuffer(int minLength)
{
    const int len = GetLength();
    wchar_t* p = Reserve(minLength > len ? minLength : len);
    return p;
}

void CString::ReleaseBuffer(int newLength)
{
    if (!m_data)
        return;
    wchar_t* p = m_data->Chars();
    if (newLength < 0)
    {
        newLength = 0;
        while (newLength < m_data->capacity && p[newLength] != 0)
            ++newLength;
    }
    if (newLength > m_data->capacity)
        newLength = m_data->capacity;
    p[newLength] = 0;
    m_data->length = newLength;
    if (newLength == 0)
        Release();
}

} // namespace Tessel
