#include "app/core/WindowsVersion.h"

#include "base/UniqueHandle.h"

#include <windows.h>

#include <cstdio>

namespace
{
// The two diagnostics are written in code page 936, as the program has always written them:
// "cannot load ntdll.dll" and "cannot get the address of RtlGetNtVersionNumbers".
constexpr char kNoNtdll[] = "\xCE\xDE\xB7\xA8\xBC\xD3\xD4\xD8 ntdll.dll";
constexpr char kNoVersionFunction[] =
    "\xCE\xDE\xB7\xA8\xBB\xF1\xC8\xA1 RtlGetNtVersionNumbers \xBA\xAF\xCA\xFD\xB5\xC4\xB5\xD8\xD6\xB7";

typedef void(WINAPI* RtlGetNtVersionNumbersFn)(DWORD* major, DWORD* minor, DWORD* build);

struct LoadedLibraryTraits
{
    using Handle = HMODULE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle module) noexcept { FreeLibrary(module); }
};
using LoadedLibrary = UniqueHandle<LoadedLibraryTraits>;
} // namespace

bool IsWindows10OrLater()
{
    const LoadedLibrary ntdll(LoadLibraryW(L"ntdll.dll"));
    if (!ntdll.get())
    {
        std::fprintf(stderr, "%s\n", kNoNtdll);
        return false;
    }
    auto getVersion = reinterpret_cast<RtlGetNtVersionNumbersFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll.get(), "RtlGetNtVersionNumbers")));
    if (!getVersion)
    {
        std::fprintf(stderr, "%s\n", kNoVersionFunction);
        return false;
    }
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
    getVersion(&major, &minor, &build);
    return major >= 10;
}
