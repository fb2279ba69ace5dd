#pragma once

#include <cstdint>
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

    // A "UT" extra field with the given flags and times, in flag order.
    static std::string ExtendedTimestamp(std::uint8_t flags, const std::vector<std::int32_t>& times);

private:
    std::vector<Entry> m_entries;
};
