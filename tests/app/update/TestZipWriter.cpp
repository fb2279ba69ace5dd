#include "tests/app/update/TestZipWriter.h"

#include <windows.h>

#include <zlib.h>

namespace
{
void Put16(std::string& out, std::uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& data)
{
    z_stream s = {};
    deflateInit2(&s, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, static_cast<uLong>(data.size())) + 16, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}
} // namespace

std::string TestZipWriter::ExtendedTimestamp(std::uint8_t flags, const std::vector<std::int32_t>& times)
{
    std::string field;
    Put16(field, 0x5455);
    Put16(field, static_cast<std::uint32_t>(1 + 4 * times.size()));
    field += static_cast<char>(flags);
    for (const auto t : times)
        Put32(field, static_cast<std::uint32_t>(t));
    return field;
}

// A MiB at a time, each ending in a full flush (so on a byte boundary). Every MiB after the first decodes
// to zeros whatever came before it but zeros, so the second is repeated rather than deflated again.
std::string TestZipWriter::DeflatedZeros(std::uint64_t size, std::uint32_t& crc)
{
    constexpr uInt kMiB = 1u << 20;
    const std::string zeros(kMiB, '\0');
    z_stream s = {};
    deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_RLE);
    std::string buffer(1 << 16, '\0');
    const auto deflateZeros = [&](uInt count, int flush)
    {
        std::string out;
        s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        s.avail_in = count;
        int status = Z_OK;
        do
        {
            s.next_out = reinterpret_cast<Bytef*>(buffer.data());
            s.avail_out = static_cast<uInt>(buffer.size());
            status = deflate(&s, flush);
            out.append(buffer.data(), buffer.size() - s.avail_out);
        } while (s.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
        return out;
    };

    const uLong mibCrc = crc32(0, reinterpret_cast<const Bytef*>(zeros.data()), kMiB);
    uLong total = crc32(0, nullptr, 0);
    std::string out;
    std::string repeated;
    for (std::uint64_t done = 0; size - done > kMiB; done += kMiB)
    {
        total = crc32_combine(total, mibCrc, kMiB);
        if (done < 2 * kMiB)
            repeated = deflateZeros(kMiB, Z_FULL_FLUSH);
        out += repeated;
    }
    const uInt last = static_cast<uInt>(size % kMiB == 0 && size > 0 ? kMiB : size % kMiB);
    total = crc32(total, reinterpret_cast<const Bytef*>(zeros.data()), last);
    out += deflateZeros(last, Z_FINISH);
    deflateEnd(&s);
    crc = static_cast<std::uint32_t>(total);
    return out;
}

std::string TestZipWriter::Build() const
{
    std::string out;
    std::string central;
    std::vector<std::uint32_t> offsets;
    for (const auto& e : m_entries)
    {
        std::uint32_t crc =
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size()));
        std::string stored = e.deflate ? RawDeflate(e.data) : e.data;
        if (e.compressed)
        {
            stored = *e.compressed;
            crc = e.compressedCrc;
        }
        if (e.wrongCrc)
            crc ^= 0x5A5A5A5A;
        if (e.corruptData && !stored.empty())
        {
            for (std::size_t i = stored.size() / 3; i < stored.size(); i += 7)
                stored[i] = static_cast<char>(stored[i] ^ 0xA5);
        }
        const std::uint16_t method = e.method ? *e.method : (e.deflate || e.compressed ? 8 : 0);
        const std::uint32_t size =
            e.declaredSize ? *e.declaredSize : static_cast<std::uint32_t>(e.data.size());
        const bool shared =
            e.sharesLocalHeaderOf >= 0 && e.sharesLocalHeaderOf < static_cast<int>(offsets.size());
        const std::uint32_t offset =
            shared ? offsets[e.sharesLocalHeaderOf] : static_cast<std::uint32_t>(out.size());
        offsets.push_back(offset);

        if (!shared)
        {
            Put32(out, 0x04034B50);
            Put16(out, 20);
            Put16(out, e.flags);
            Put16(out, method);
            Put16(out, e.dosTime);
            Put16(out, e.dosDate);
            Put32(out, crc);
            Put32(out, static_cast<std::uint32_t>(stored.size()));
            Put32(out, size);
            Put16(out, static_cast<std::uint32_t>(e.name.size()));
            Put16(out, static_cast<std::uint32_t>(e.localExtra.size()));
            out += e.name;
            out += e.localExtra;
            out += stored;
        }

        Put32(central, 0x02014B50);
        Put16(central, e.versionMadeBy);
        Put16(central, 20);
        Put16(central, e.flags);
        Put16(central, method);
        Put16(central, e.dosTime);
        Put16(central, e.dosDate);
        Put32(central, crc);
        Put32(central, static_cast<std::uint32_t>(stored.size()));
        Put32(central, size);
        Put16(central, static_cast<std::uint32_t>(e.name.size()));
        Put16(central, static_cast<std::uint32_t>(e.centralExtra.size()));
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, e.externalAttributes);
        Put32(central, offset);
        central += e.name;
        central += e.centralExtra;
    }
    const std::uint32_t centralOffset = static_cast<std::uint32_t>(out.size());
    out += central;
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(m_entries.size()));
    Put16(out, static_cast<std::uint32_t>(m_entries.size()));
    Put32(out, static_cast<std::uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}

bool TestZipWriter::WriteTo(const std::wstring& path) const
{
    const std::string bytes = Build();
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}
