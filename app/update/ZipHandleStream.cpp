#include "app/update/ZipHandleStream.h"

namespace
{
CZipHandleStream* Self(voidpf stream)
{
    return static_cast<CZipHandleStream*>(stream);
}
} // namespace

CZipHandleStream::CZipHandleStream(HANDLE file) : m_file(file)
{
    m_functions.zopen64_file = &CZipHandleStream::Open;
    m_functions.zread_file = &CZipHandleStream::Read;
    m_functions.zwrite_file = &CZipHandleStream::Write;
    m_functions.ztell64_file = &CZipHandleStream::Tell;
    m_functions.zseek64_file = &CZipHandleStream::Seek;
    m_functions.zclose_file = &CZipHandleStream::Close;
    m_functions.zerror_file = &CZipHandleStream::Error;
    m_functions.opaque = this;
}

voidpf ZCALLBACK CZipHandleStream::Open(voidpf opaque, const void*, int mode)
{
    // Reading an existing archive is all this stream does.
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ ||
        (mode & ZLIB_FILEFUNC_MODE_CREATE) != 0)
        return nullptr;
    CZipHandleStream* self = Self(opaque);
    return self->m_file != nullptr && self->m_file != INVALID_HANDLE_VALUE ? self : nullptr;
}

uLong ZCALLBACK CZipHandleStream::Read(voidpf, voidpf stream, void* buffer, uLong size)
{
    CZipHandleStream* self = Self(stream);
    uLong total = 0;
    while (total < size)
    {
        DWORD got = 0;
        if (!ReadFile(self->m_file, static_cast<char*>(buffer) + total, size - total, &got, nullptr))
        {
            self->m_failed = true;
            break;
        }
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

uLong ZCALLBACK CZipHandleStream::Write(voidpf, voidpf stream, const void*, uLong)
{
    Self(stream)->m_failed = true;
    return 0;
}

ZPOS64_T ZCALLBACK CZipHandleStream::Tell(voidpf, voidpf stream)
{
    LARGE_INTEGER zero = {};
    LARGE_INTEGER position = {};
    if (!SetFilePointerEx(Self(stream)->m_file, zero, &position, FILE_CURRENT))
        return static_cast<ZPOS64_T>(-1);
    return static_cast<ZPOS64_T>(position.QuadPart);
}

long ZCALLBACK CZipHandleStream::Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    DWORD method = FILE_BEGIN;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        method = FILE_CURRENT;
    else if (origin == ZLIB_FILEFUNC_SEEK_END)
        method = FILE_END;
    else if (origin != ZLIB_FILEFUNC_SEEK_SET)
        return -1;
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(Self(stream)->m_file, distance, nullptr, method) ? 0 : -1;
}

int ZCALLBACK CZipHandleStream::Close(voidpf, voidpf)
{
    // The handle belongs to the caller.
    return 0;
}

int ZCALLBACK CZipHandleStream::Error(voidpf, voidpf stream)
{
    return Self(stream)->m_failed ? 1 : 0;
}
