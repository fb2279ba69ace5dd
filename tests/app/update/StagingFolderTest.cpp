#include "app/update/staging/StagingFolder.h"
#include "app/update/staging/StagingFolderSecurity.h"
#include "tests/app/update/TestFiles.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <iostream>

namespace
{
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

private:
    TestFolder m_sandbox;
};

bool RunsUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Fails for every allowing entry that grants some write to a SID other than Administrators or SYSTEM
// (or, with othersMayWrite, to Everyone, Users or Authenticated Users).
void ExpectOnlyAdministratorsAndSystemWrite(PACL dacl, bool othersMayWrite)
{
    constexpr DWORD kAnyWrite = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                                FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                GENERIC_ALL;
    ASSERT_NE(dacl, nullptr);
    for (DWORD i = 0; i < dacl->AceCount; ++i)
    {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        const PSID sid = &ace->SidStart;
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || (ace->Mask & kAnyWrite) == 0 ||
            IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid))
            continue;
        const bool everybody = IsWellKnownSid(sid, WinWorldSid) || IsWellKnownSid(sid, WinBuiltinUsersSid) ||
                               IsWellKnownSid(sid, WinAuthenticatedUserSid);
        EXPECT_TRUE(othersMayWrite && !everybody) << "entry " << i;
    }
}
} // namespace

TEST_F(StagingFolderTest, EachUpdateGetsAFreshFolderWhereOnlyNewFilesAreOpened)
{
    StagingFolder first, second;
    ASSERT_TRUE(StagingFolder::CreateBelow(Data(), first));
    ASSERT_TRUE(StagingFolder::CreateBelow(Data(), second));
    EXPECT_NE(first.Path(), second.Path());
    EXPECT_EQ(first.Path().rfind(StagingRootBelow(Data()), 0), 0u);

    KernelHandle archive = first.CreateNewFile(L"Software-1.0.0.20.zip");
    DWORD done = 0;
    char back[4] = {};
    EXPECT_TRUE(WriteFile(archive.get(), "zip", 3, &done, nullptr));
    SetFilePointer(archive.get(), 0, nullptr, FILE_BEGIN);
    EXPECT_TRUE(ReadFile(archive.get(), back, 3, &done, nullptr));
    EXPECT_STREQ(back, "zip");
    archive.reset();

    ASSERT_TRUE(WriteFileBytes(Outside() + L"system.dll", "system"));
    ASSERT_TRUE(
        CreateHardLinkW((first.Path() + L"hard.zip").c_str(), (Outside() + L"system.dll").c_str(), nullptr));
    TestLink link(Outside() + L"system.dll", first.Path() + L"soft.zip", false);
    ASSERT_TRUE(link.Made());
    for (const wchar_t* name : {L"Software-1.0.0.20.zip", L"hard.zip", L"soft.zip", L"", L"..", L"..\\x.zip",
                                L"sub\\x.zip", L"C:x.zip", L"x.zip:stream", L"nul"})
        EXPECT_FALSE(first.CreateNewFile(name)) << std::wstring(name).size();
    EXPECT_EQ(ReadFileBytes(Outside() + L"system.dll"), "system");

    const std::wstring removed = second.Path();
    second.Remove();
    EXPECT_FALSE(PathExists(removed));
    EXPECT_TRUE(PathExists(first.Path()));
}

// The attack on the old temp folder: a folder of the path replaced by a link to somewhere precious.
TEST_F(StagingFolderTest, ARootReachedThroughALinkIsRefused)
{
    TestLink link(Outside(), Data() + L"Tarvik Kelvane", true);
    ASSERT_TRUE(link.Made());
    StagingFolder folder;
    EXPECT_FALSE(StagingFolder::CreateBelow(Data(), folder));
    EXPECT_TRUE(folder.Path().empty());
    EXPECT_TRUE(ReadTree(Outside()).empty());
}

TEST_F(StagingFolderTest, LeftoversGoButLinkTargetsStay)
{
    ASSERT_TRUE(WriteFileBytes(Outside() + L"keep.txt", "keep"));
    StagingFolder plain, linked;
    ASSERT_TRUE(StagingFolder::CreateBelow(Data(), plain));
    ASSERT_TRUE(StagingFolder::CreateBelow(Data(), linked));
    CreateDirectoryW((plain.Path() + L"sub").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(plain.Path() + L"sub\\installer.exe", "old"));
    ASSERT_TRUE(WriteFileBytes(plain.Path() + L"locked.dll", "old"));
    SetFileAttributesW((plain.Path() + L"locked.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    TestLink folderLink(Outside(), linked.Path() + L"folder", true);
    TestLink fileLink(Outside() + L"keep.txt", linked.Path() + L"file.txt", false);
    ASSERT_TRUE(folderLink.Made() && fileLink.Made());
    const std::wstring plainPath = plain.Path(), linkedPath = linked.Path();
    plain = StagingFolder();
    linked = StagingFolder();

    RemoveLeftoverStagingFoldersBelow(Data());
    EXPECT_FALSE(PathExists(plainPath));
    EXPECT_EQ(ReadTree(Outside()), (std::map<std::wstring, std::string>{{L"keep.txt", "keep"}}));
    // Windows removes links as links; Wine cannot remove a Unix link without touching its target, so
    // there the links stay, and the folder holding them.
    EXPECT_TRUE(RunsUnderWine() || !PathExists(linkedPath));
}

TEST_F(StagingFolderTest, OnlyAdministratorsAndSystemMayWrite)
{
    StagingFolderSecurity security;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(security.IsValid());
    ASSERT_TRUE(
        GetSecurityDescriptorControl(security.Attributes()->lpSecurityDescriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    EXPECT_EQ(security.Dacl()->AceCount, 4);
    ExpectOnlyAdministratorsAndSystemWrite(security.Dacl(), false);

    StagingFolder folder;
    ASSERT_TRUE(StagingFolder::CreateBelow(Data(), folder));
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(folder.Path().c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, &dacl, nullptr, &descriptor),
              ERROR_SUCCESS);
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    LPWSTR text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                         DACL_SECURITY_INFORMATION, &text, nullptr);
    // Wine keeps no descriptor: it reads back one made from the Unix mode bits (owner, SYSTEM, Everyone),
    // never protected. What it can show is that neither Everyone nor Users may write.
    const bool wine = RunsUnderWine();
    std::wcout << L"staging folder DACL read back: " << (text ? text : L"?") << std::endl;
    EXPECT_TRUE(wine || (control & SE_DACL_PROTECTED));
    ExpectOnlyAdministratorsAndSystemWrite(dacl, wine);
    LocalFree(text);
    LocalFree(descriptor);
}
