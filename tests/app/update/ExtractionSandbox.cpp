#include "tests/app/update/ExtractionSandbox.h"

#include "app/device/KernelHandle.h"
#include "app/update/ArchiveExtractor.h"

ExtractionSandbox::ExtractionSandbox() : m_sandbox(L"kelvane-extract")
{
    CreateDirectoryW(Base().c_str(), nullptr);
    CreateDirectoryW(Outside().c_str(), nullptr);
}

bool ExtractionSandbox::Extract(const TestZipWriter& zip, const ExtractionLimits& limits)
{
    EXPECT_TRUE(zip.WriteTo(Archive()));
    KernelHandle archive(
        CreateFileW(Archive().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return ExtractArchive(archive.Get(), Base(), limits);
}

bool ExtractionSandbox::ExtractInto(const TestZipWriter& zip, const std::wstring& folder)
{
    return ExtractBytes(zip.Build(), folder);
}

bool ExtractionSandbox::ExtractBytes(const std::string& bytes, const std::wstring& folder)
{
    EXPECT_TRUE(WriteFileBytes(Archive(), bytes));
    KernelHandle archive(
        CreateFileW(Archive().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return ExtractArchive(archive.Get(), folder);
}

void ExtractionSandbox::ExpectNothingOutsideBase(const Tree& planted)
{
    for (const auto& [path, content] : ReadTree(Sandbox()))
    {
        if (path == L"archive.zip" || path == L"base" || path == L"outside" || path.rfind(L"base\\", 0) == 0)
            continue;
        const auto expected = planted.find(path);
        EXPECT_TRUE(expected != planted.end() && expected->second == content)
            << "outside: " << std::string(path.begin(), path.end());
    }
}

TestZipWriter::Entry MakeEntry(const std::string& name, const std::string& data)
{
    TestZipWriter::Entry e;
    e.name = name;
    e.data = data;
    return e;
}
