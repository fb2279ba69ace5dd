#pragma once

#include <windows.h>

#include <ioapi.h>

// minizip's file functions over a file handle the caller keeps: the archive is read through that handle,
// never reopened by name, and closing the archive leaves the handle open. Reads move the handle's file
// pointer.
class ZipHandleStream
{
public:
    explicit ZipHandleStream(HANDLE file);
    ZipHandleStream(const ZipHandleStream&) = delete;
    ZipHandleStream& operator=(const ZipHandleStream&) = delete;

    // For unzOpen2_64; valid while this object lives.
    zlib_filefunc64_def* Functions() { return &m_functions; }

private:
    static voidpf ZCALLBACK Open(voidpf opaque, const void* name, int mode);
    static uLong ZCALLBACK Read(voidpf opaque, voidpf stream, void* buffer, uLong size);
    static uLong ZCALLBACK Write(voidpf opaque, voidpf stream, const void* buffer, uLong size);
    static ZPOS64_T ZCALLBACK Tell(voidpf opaque, voidpf stream);
    static long ZCALLBACK Seek(voidpf opaque, voidpf stream, ZPOS64_T offset, int origin);
    static int ZCALLBACK Close(voidpf opaque, voidpf stream);
    static int ZCALLBACK Error(voidpf opaque, voidpf stream);

    HANDLE m_file; // borrowed
    bool m_failed = false;
    zlib_filefunc64_def m_functions = {};
};
