#include "tools/sensorserver/GpuAdapterTemperatures.h"

#include <windows.h>
#include <dxgi.h>

#include <string>

namespace thermivox
{
namespace
{
// The few graphics-kernel thunk declarations needed here (the SDK's d3dkmthk.h is not part of
// the toolchain). Layouts follow the published WDK definitions.
typedef UINT D3DKMT_HANDLE;
struct D3DKMT_OPENADAPTERFROMLUID
{
    LUID AdapterLuid;
    D3DKMT_HANDLE hAdapter;
};
struct D3DKMT_CLOSEADAPTER
{
    D3DKMT_HANDLE hAdapter;
};
struct D3DKMT_QUERYADAPTERINFO
{
    D3DKMT_HANDLE hAdapter;
    int Type;
    void* pPrivateDriverData;
    UINT PrivateDriverDataSize;
};
struct D3DKMT_ADAPTER_PERFDATA
{
    UINT32 PhysicalAdapterIndex;
    ULONGLONG MemoryFrequency;
    ULONGLONG MaxMemoryFrequency;
    ULONGLONG MaxMemoryFrequencyOC;
    ULONGLONG MemoryBandwidth;
    ULONGLONG PCIEBandwidth;
    ULONG FanRPM;
    ULONG Power;
    ULONG Temperature; // tenths of a degree Celsius
    UCHAR PowerStateOverride;
};
constexpr int KMTQAITYPE_ADAPTERPERFDATA = 62;
#ifdef THERMIVOX_WIN7_FAMILY
constexpr bool kHasAdapterPerfData = false;
#else
constexpr bool kHasAdapterPerfData = true;
#endif
typedef LONG(APIENTRY* OpenFromLuidFn)(D3DKMT_OPENADAPTERFROMLUID*);
typedef LONG(APIENTRY* CloseAdapterFn)(const D3DKMT_CLOSEADAPTER*);
typedef LONG(APIENTRY* QueryAdapterInfoFn)(const D3DKMT_QUERYADAPTERINFO*);

class ComRelease
{
public:
    explicit ComRelease(IUnknown* p) : m_p(p) {}
    ~ComRelease()
    {
        if (m_p)
            m_p->Release();
    }
    ComRelease(const ComRelease&) = delete;
    ComRelease& operator=(const ComRelease&) = delete;

private:
    IUnknown* m_p;
};

std::string ToAnsi(const wchar_t* text)
{
    char buffer[136] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

bool AdapterTemperature(const LUID& luid, float& celsius)
{
    HMODULE gdi = GetModuleHandleW(L"gdi32.dll");
    if (!gdi)
        return false;
    auto open = reinterpret_cast<OpenFromLuidFn>(
        reinterpret_cast<void*>(GetProcAddress(gdi, "D3DKMTOpenAdapterFromLuid")));
    auto close =
        reinterpret_cast<CloseAdapterFn>(reinterpret_cast<void*>(GetProcAddress(gdi, "D3DKMTCloseAdapter")));
    auto query = reinterpret_cast<QueryAdapterInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(gdi, "D3DKMTQueryAdapterInfo")));
    if (!open || !close || !query)
        return false;
    D3DKMT_OPENADAPTERFROMLUID opened = {};
    opened.AdapterLuid = luid;
    if (open(&opened) != 0)
        return false;
    D3DKMT_ADAPTER_PERFDATA perf = {};
    D3DKMT_QUERYADAPTERINFO info = {};
    info.hAdapter = opened.hAdapter;
    info.Type = KMTQAITYPE_ADAPTERPERFDATA;
    info.pPrivateDriverData = &perf;
    info.PrivateDriverDataSize = sizeof perf;
    const bool ok = query(&info) == 0 && perf.Temperature > 0;
    D3DKMT_CLOSEADAPTER closing = {opened.hAdapter};
    close(&closing);
    if (ok)
        celsius = static_cast<float>(perf.Temperature) / 10.0f;
    return ok;
}
} // namespace

int GpuAdapterTemperatures::Read(Readings& readings)
{
    int filled = 0;
    for (int slot = 0; slot < 2; ++slot)
    {
        readings.gpuName[slot].clear();
        readings.gpu[slot] = 0.0f;
    }
    if (!kHasAdapterPerfData)
        return 0;
    IDXGIFactory1* factory = nullptr;
    if (FAILED(CreateDXGIFactory1(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(&factory))))
        return 0;
    ComRelease factoryRelease(factory);
    IDXGIAdapter1* adapter = nullptr;
    for (UINT i = 0; filled < 2 && factory->EnumAdapters1(i, &adapter) != DXGI_ERROR_NOT_FOUND; ++i)
    {
        ComRelease adapterRelease(adapter);
        DXGI_ADAPTER_DESC1 desc = {};
        if (FAILED(adapter->GetDesc1(&desc)) || (desc.Flags & DXGI_ADAPTER_FLAG_SOFTWARE))
            continue;
        float celsius = 0.0f;
        if (!AdapterTemperature(desc.AdapterLuid, celsius))
            continue;
        readings.gpuName[filled] = ToAnsi(desc.Description);
        if (readings.gpuName[filled].empty())
            readings.gpuName[filled] = "GPU";
        readings.gpu[filled] = celsius;
        ++filled;
    }
    return filled;
}
} // namespace thermivox
