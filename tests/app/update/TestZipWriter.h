#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Writes zip archives byte by byte, so tests can craft what no ordinary archiver writes: raw entry
// names, any host and attribute bits, extra fields, broken data.
class TestZipWriter
{
public:
    struct Entry
    {
        std::string name; // stored bytes, as they are
        std::string data;
        bool deflate = true;
        std::uint16_t versionMadeBy = 20; // host 0 (MS-DOS)
        std::uint32_t externalAttributes = 0x20;
        std::uint16_t dosTime = 0x6000; // 12:00:00
        std::uint16_t dosDate = 0x5A21; // 2025-01-01
        std::uint16_t flags = 0;
        std::string localExtra;
        std::string centralExtra;
        bool corruptData = false; // damages the stored data after its CRC was taken
        bool wrongCrc = false;    // stores a CRC that does not match
        // Lies and oddities: a declared uncompressed size or method other than the data's, data already
        // compressed elsewhere (with its CRC and size), a central entry that names an earlier entry's
        // local header instead of having its own.
        std::optional<std::uint32_t> declaredSize;
        std::optional<std::uint16_t> method;
        std::optional<std::string> compressed;
        std::uint32_t compressedCrc = 0;
        int sharesLocalHeaderOf = -1;
    };

    void Add(const Entry& entry) { m_entries.push_back(entry); }
    void AddFile(const std::string& name, const std::string& data)
    {
        Entry e;
        e.name = name;
        e.data = data;
        Add(e);
    }

    std::string Build() const;
    bool WriteTo(const std::wstring& path) const;

    // size zero bytes as one raw deflate stream, and their CRC-32.
    static std::string DeflatedZeros(std::uint64_t size, std::uint32_t& crc);

    // A "UT" extra field with the given flags and times, in flag order.
    static std::string ExtendedTimestamp(std::uint8_t flags, const std::vector<std::int32_t>& times);

private:
    std::vector<Entry> m_entries;
};
