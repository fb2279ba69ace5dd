#pragma once

#include "app/update/ExtractionLimits.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestZipWriter.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using Tree = std::map<std::wstring, std::string>;

// A sandbox holding the archive, the extraction folder base\ and a folder outside\ that links planted in
// base\ may point to. Archives are handed over as an open handle, as the update does.
class ExtractionSandbox : public ::testing::Test
{
protected:
    ExtractionSandbox();

    std::wstring Sandbox() const { return m_sandbox.Path(); }
    std::wstring Base() const { return m_sandbox.Path() + L"base\\"; }
    std::wstring Outside() const { return m_sandbox.Path() + L"outside\\"; }
    std::wstring Archive() const { return m_sandbox.Path() + L"archive.zip"; }

    bool Extract(const TestZipWriter& zip, const ExtractionLimits& limits = {});
    bool ExtractInto(const TestZipWriter& zip, const std::wstring& folder);
    bool ExtractBytes(const std::string& archive, const std::wstring& folder);

    // Everything in the sandbox apart from the archive lies in base\, or is one of the given things
    // planted outside it.
    void ExpectNothingOutsideBase(const Tree& planted = {});

private:
    TestFolder m_sandbox;
};

TestZipWriter::Entry MakeEntry(const std::string& name, const std::string& data);
