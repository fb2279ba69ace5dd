#pragma once

#include "app/platform/KernelHandle.h"
#include "app/update/archive/ArchiveExtractor.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestZipWriter.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using Tree = std::map<std::wstring, std::string>;

// A sandbox with the archive, the extraction folder base\ and a folder outside\ for link targets.
// Archives are handed over as an open handle, as the update does.
class ExtractionSandbox : public ::testing::Test
{
protected:
    ExtractionSandbox() : m_sandbox(L"kelvane-extract")
    {
        CreateDirectoryW(Base().c_str(), nullptr);
        CreateDirectoryW(Outside().c_str(), nullptr);
    }

    std::wstring Sandbox() const { return m_sandbox.Path(); }
    std::wstring Base() const { return m_sandbox.Path() + L"base\\"; }
    std::wstring Outside() const { return m_sandbox.Path() + L"outside\\"; }

    bool ExtractBytes(const std::string& bytes, const std::wstring& folder,
                      const ExtractionLimits& limits = {})
    {
        const std::wstring path = m_sandbox.Path() + L"archive.zip";
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        KernelHandle archive(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        return ExtractArchive(archive.get(), folder, limits);
    }
    bool Extract(const TestZipWriter& zip, const ExtractionLimits& limits = {})
    {
        return ExtractBytes(zip.Build(), Base(), limits);
    }

    // Refused whole: false, and nothing of the archive left behind.
    void ExpectRefused(const TestZipWriter& zip, const std::string& what, const ExtractionLimits& limits = {})
    {
        EXPECT_FALSE(Extract(zip, limits)) << what;
        EXPECT_TRUE(ReadTree(Base()).empty()) << what;
    }

private:
    TestFolder m_sandbox;
};

inline TestZipWriter::Entry MakeEntry(const std::string& name, const std::string& data, bool deflate = true)
{
    TestZipWriter::Entry e;
    e.name = name;
    e.data = data;
    e.deflate = deflate;
    return e;
}
