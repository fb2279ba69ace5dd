#include "app/update/archive/ZipHandleStream.h"

namespace
{
ZipHandleStream* Self(voidpf stream)
{
    return static_cast<ZipHandleStream*>(stream);
}
} // namespace

ZipHandleStream::ZipHandleStream(HANDLE file) : m_file(file)
{
    m_functions.zopen64_file = &ZipHandleStream::Open;
    m_functions.zread_file = &ZipHandleStream::Read;
    m_functions.zwrite_file = &ZipHandleStream::Write;
    m_functions.ztell64_file = &ZipHandleStream::Tell;
    m_functions.zseek64_file = &ZipHandleStream::Seek;
    m_functions.zclose_file = &ZipHandleStream::Close;
    m_functions.zerror_file = &ZipHandleStream::Error;
    m_functions.opaque = this;
}

voidpf ZCALLBACK ZipHandleStream::Open(voidpf opaque, const void*, int mode)
{
    // Reading an existing archive is all this stream does.
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ ||
        (mode & ZLIB_FILEFUNC_MODE_CREATE) != 0)
        return nullptr;
    ZipHandleStream* self = Self(opaque);
    return self->m_file != nullptr && self->m_file != INVALID_HANDLE_VALUE ? self : nullptr;
}

uLong ZCALLBACK ZipHandleStream::Read(voidpf, voidpf stream, void* buffer, uLong size)
{
    ZipHandleStream* self = Self(stream);
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

uLong ZCALLBACK ZipHandleStream::Write(voidpf, voidpf stream, const void*, uLong)
{
    Self(stream)->m_failed = true;
    return 0;
}

ZPOS64_T ZCALLBACK ZipHandleStream::Tell(voidpf, voidpf stream)
{
    LARGE_INTEGER zero = {};
    LARGE_INTEGER position = {};
    if (!SetFilePointerEx(Self(stream)->m_file, zero, &position, FILE_CURRENT))
        return static_cast<ZPOS64_T>(-1);
    return static_cast<ZPOS64_T>(position.QuadPart);
}

long ZCALLBACK ZipHandleStream::Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
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

int ZCALLBACK ZipHandleStream::Close(voidpf, voidpf)
{
    // The handle belongs to the caller.
    return 0;
}

int ZCALLBACK ZipHandleStream::Error(voidpf, voidpf stream)
{
    return Self(stream)->m_failed ? 1 : 0;
}
