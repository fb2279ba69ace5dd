#include "app/update/StagingFolder.h"
#include "app/update/StagingFolderSecurity.h"
#include "tests/app/update/TestFiles.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <iostream>

namespace
{
constexpr DWORD kAnyWrite = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                            FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                            GENERIC_ALL;

class StagingFolderTest : public ::testing::Test
{
protected:
    StagingFolderTest() : m_sandbox(L"kelvane-staging")
    {
        CreateDirectoryW(Data().c_str(), nullptr);
        CreateDirectoryW(Outside().c_str(), nullptr);
    }

    // Stands in for %ProgramData%.
    std::wstring Data() const { return m_sandbox.Path() + L"data\\"; }
    std::wstring Outside() const { return m_sandbox.Path() + L"outside\\"; }
    std::wstring Root() const { return StagingRootBelow(Data()); }

private:
    TestFolder m_sandbox;
};

bool RunsUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool IsOneOf(PSID sid, std::initializer_list<WELL_KNOWN_SID_TYPE> types)
{
    for (const auto type : types)
    {
        if (IsWellKnownSid(sid, type))
            return true;
    }
    return false;
}

// Every allowing entry that grants any kind of write, checked against who may have it.
void ExpectOnlyWritersAmong(PACL dacl, std::initializer_list<WELL_KNOWN_SID_TYPE> writers, bool allowOthers)
{
    ASSERT_NE(dacl, nullptr);
    for (DWORD i = 0; i < dacl->AceCount; ++i)
    {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || (ace->Mask & kAnyWrite) == 0)
            continue;
        const PSID sid = &ace->SidStart;
        EXPECT_FALSE(IsOneOf(sid, {WinWorldSid, WinBuiltinUsersSid, WinAuthenticatedUserSid}))
            << "entry " << i;
        if (!allowOthers)
        {
            EXPECT_TRUE(IsOneOf(sid, writers)) << "entry " << i;
        }
    }
}
} // namespace

TEST_F(StagingFolderTest, EachUpdateGetsAFreshFolderWithNewFilesOnly)
{
    CStagingFolder first;
    CStagingFolder second;
    ASSERT_TRUE(CStagingFolder::CreateBelow(Data(), first));
    ASSERT_TRUE(CStagingFolder::CreateBelow(Data(), second));
    EXPECT_NE(first.Path(), second.Path());
    EXPECT_EQ(first.Path().rfind(Root(), 0), 0u);
    EXPECT_EQ(first.Path().back(), L'\\');

    KernelHandle archive = first.CreateNewFile(L"Software-1.0.0.20.zip");
    ASSERT_TRUE(archive.IsValid());
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(archive.Get(), "zip", 3, &done, nullptr));
    SetFilePointer(archive.Get(), 0, nullptr, FILE_BEGIN);
    char back[4] = {};
    EXPECT_TRUE(ReadFile(archive.Get(), back, 3, &done, nullptr));
    EXPECT_STREQ(back, "zip");
    EXPECT_FALSE(first.CreateNewFile(L"Software-1.0.0.20.zip").IsValid());
    for (const wchar_t* name : {L"", L"..", L"..\\x.zip", L"sub\\x.zip", L"C:x.zip", L"x.zip:stream", L"nul"})
        EXPECT_FALSE(first.CreateNewFile(name).IsValid()) << std::wstring(name).size();
    archive.Reset();

    const std::wstring removed = first.Path();
    first.Remove();
    EXPECT_FALSE(PathExists(removed));
    EXPECT_TRUE(PathExists(second.Path()));
}

TEST_F(StagingFolderTest, PlantedFilesAndLinksAreNotOpened)
{
    ASSERT_TRUE(WriteFileBytes(Outside() + L"system.dll", "system"));
    CStagingFolder folder;
    ASSERT_TRUE(CStagingFolder::CreateBelow(Data(), folder));
    ASSERT_TRUE(
        CreateHardLinkW((folder.Path() + L"hard.zip").c_str(), (Outside() + L"system.dll").c_str(), nullptr));
    TestLink link(Outside() + L"system.dll", folder.Path() + L"soft.zip", false);
    ASSERT_TRUE(link.Made());
    EXPECT_FALSE(folder.CreateNewFile(L"hard.zip").IsValid());
    EXPECT_FALSE(folder.CreateNewFile(L"soft.zip").IsValid());
    EXPECT_EQ(ReadFileBytes(Outside() + L"system.dll"), "system");
}

// The attack on the old temp folder: a folder of the path replaced by a link to somewhere precious.
TEST_F(StagingFolderTest, ARootReachedThroughALinkIsRefused)
{
    TestLink link(Outside(), Data() + L"Tarvik Kelvane", true);
    ASSERT_TRUE(link.Made());
    CStagingFolder folder;
    EXPECT_FALSE(CStagingFolder::CreateBelow(Data(), folder));
    EXPECT_TRUE(folder.Path().empty());
    EXPECT_TRUE(ReadTree(Outside()).empty());
}

TEST_F(StagingFolderTest, LeftoversGoButLinkTargetsStay)
{
    ASSERT_TRUE(WriteFileBytes(Outside() + L"keep.txt", "keep"));
    std::wstring plainPath, linkedPath;
    {
        CStagingFolder plain, linked;
        ASSERT_TRUE(CStagingFolder::CreateBelow(Data(), plain));
        ASSERT_TRUE(CStagingFolder::CreateBelow(Data(), linked));
        plainPath = plain.Path();
        linkedPath = linked.Path();
    }
    CreateDirectoryW((plainPath + L"sub").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(plainPath + L"sub\\installer.exe", "old"));
    ASSERT_TRUE(WriteFileBytes(plainPath + L"locked.dll", "old"));
    SetFileAttributesW((plainPath + L"locked.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    TestLink folderLink(Outside(), linkedPath + L"folder", true);
    TestLink fileLink(Outside() + L"keep.txt", linkedPath + L"file.txt", false);
    ASSERT_TRUE(folderLink.Made() && fileLink.Made());

    RemoveLeftoverStagingFoldersBelow(Data());
    EXPECT_FALSE(PathExists(plainPath));
    EXPECT_EQ(ReadTree(Outside()), (std::map<std::wstring, std::string>{{L"keep.txt", "keep"}}));
    // Windows removes the links themselves; Wine cannot remove a Unix link without touching its target,
    // so there they stay, and with them the folder holding them.
    if (!RunsUnderWine())
    {
        EXPECT_FALSE(PathExists(linkedPath));
    }
}

TEST_F(StagingFolderTest, OnlyAdministratorsAndSystemMayWrite)
{
    CStagingFolderSecurity security;
    ASSERT_TRUE(security.IsValid());
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(
        GetSecurityDescriptorControl(security.Attributes()->lpSecurityDescriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    ExpectOnlyWritersAmong(security.Dacl(), {WinBuiltinAdministratorsSid, WinLocalSystemSid}, false);
    EXPECT_EQ(security.Dacl()->AceCount, 4);

    CStagingFolder folder;
    ASSERT_TRUE(CStagingFolder::CreateBelow(Data(), folder));
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(folder.Path().c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, &dacl, nullptr, &descriptor),
              ERROR_SUCCESS);
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    LPWSTR text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                         DACL_SECURITY_INFORMATION, &text, nullptr);
    RecordProperty("dacl", text != nullptr ? std::string(text, text + wcslen(text)) : std::string());
    // Wine keeps no descriptor: it reads back one made from the Unix mode bits (owner, SYSTEM, Everyone),
    // never protected. What it can show is that nobody but those may write.
    const bool wine = RunsUnderWine();
    if (wine)
    {
        std::wcout << L"Wine reads the staging folder's DACL back as " << (text ? text : L"?") << std::endl;
    }
    else
    {
        EXPECT_TRUE(control & SE_DACL_PROTECTED);
    }
    ExpectOnlyWritersAmong(dacl, {WinBuiltinAdministratorsSid, WinLocalSystemSid}, wine);
    LocalFree(text);
    LocalFree(descriptor);
}
