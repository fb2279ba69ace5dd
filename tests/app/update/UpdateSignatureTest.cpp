#include "app/update/trust/ArchiveVerification.h"
#include "app/update/trust/UpdateSignature.h"
#include "app/platform/KernelHandle.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestUpdateSigner.h"

#include <gtest/gtest.h>

namespace
{
const std::wstring kVersion = L"1.0.0.20\n";

std::string Archive()
{
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7919 + i / 97) & 0xFF);
    return bytes;
}

std::string FlipBit(std::string bytes, std::size_t bit)
{
    bytes[bit / 8] = static_cast<char>(bytes[bit / 8] ^ (1 << (bit % 8)));
    return bytes;
}

class UpdateSignatureTest : public ::testing::Test
{
protected:
    UpdateSignatureTest() : m_folder(L"kelvane-signature") {}

    // Writes the bytes and checks them through an open handle, as the update does.
    bool Verify(const std::string& archive, UpdateKind kind, const std::wstring& version,
                const std::string& signature)
    {
        const std::wstring path = m_folder.Path() + L"archive.zip";
        if (!WriteFileBytes(path, archive))
            return false;
        KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(file);
        // Left anywhere: the check reads from the start regardless.
        SetFilePointer(file.get(), 12345, nullptr, FILE_BEGIN);
        const bool ok = VerifyArchiveFile(kind, version, file.get(), signature);
        if (ok)
        {
            EXPECT_EQ(SetFilePointer(file.get(), 0, nullptr, FILE_CURRENT), 0u) << "the extractor reads next";
        }
        return ok;
    }

    TestFolder m_folder;
    const std::string m_archive = Archive();
    const std::string m_signature = SignUpdate(UpdateKind::Software, kVersion, m_archive);
};
} // namespace

TEST_F(UpdateSignatureTest, ASignedArchivePassesForItsKindAndVersionOnly)
{
    ASSERT_TRUE(UpdatesEnabled());
    ASSERT_EQ(m_signature.size(), 64u);
    EXPECT_TRUE(Verify(m_archive, UpdateKind::Software, kVersion, m_signature));
    EXPECT_TRUE(Verify(m_archive, UpdateKind::Firmware, kVersion,
                       SignUpdate(UpdateKind::Firmware, kVersion, m_archive)));
    EXPECT_TRUE(Verify("", UpdateKind::Software, L"1", SignUpdate(UpdateKind::Software, L"1", "")));

    EXPECT_FALSE(Verify(m_archive, UpdateKind::Firmware, kVersion, m_signature));
    EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, L"1.0.0.21\n", m_signature));
    // The version is bound as fetched: the same digits without the line break are another text.
    EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, L"1.0.0.20", m_signature));
    EXPECT_FALSE(Verify(m_archive, static_cast<UpdateKind>(3), kVersion, m_signature));
    EXPECT_FALSE(Verify(m_archive, static_cast<UpdateKind>(0), kVersion, m_signature));
}

TEST_F(UpdateSignatureTest, OneFlippedBitAnywhereIsRefused)
{
    for (std::size_t bit : {0u, 8u * 1000 + 3, 8u * 199999 + 7})
        EXPECT_FALSE(Verify(FlipBit(m_archive, bit), UpdateKind::Software, kVersion, m_signature))
            << "archive bit " << bit;
    for (std::size_t bit : {0u, 100u, 255u, 256u, 511u})
        EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, kVersion, FlipBit(m_signature, bit)))
            << "signature bit " << bit;
    std::wstring version = kVersion;
    version[4] = static_cast<wchar_t>(version[4] ^ 1);
    EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, version, m_signature));
    EXPECT_FALSE(Verify(m_archive + '\0', UpdateKind::Software, kVersion, m_signature));
    EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, kVersion,
                        SignUpdate(UpdateKind::Software, kVersion, m_archive, OtherKeySeed())));
}

TEST_F(UpdateSignatureTest, OnlySixtyFourRawBytesCountAsASignature)
{
    EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, kVersion, ""));
    EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, kVersion, m_signature.substr(0, 63)));
    EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, kVersion, m_signature + '\n'));
    EXPECT_FALSE(Verify(m_archive, UpdateKind::Software, kVersion, m_signature + m_signature));
}

TEST(UpdateSignedMessage, LayoutIsLabelKindLengthVersionDigest)
{
    unsigned char sha512[64];
    for (int i = 0; i < 64; ++i)
        sha512[i] = static_cast<unsigned char>(i);
    std::string message;
    ASSERT_TRUE(BuildUpdateSignedMessage(UpdateKind::Firmware, L"1.2\u00e9", sha512, message));
    const std::string label("Tarvik Kelvane update v1\0", 25);
    EXPECT_EQ(message.substr(0, 25), label);
    EXPECT_EQ(message.substr(25, 10), std::string("\x02\x05\0\0\0"
                                                  "1.2\xC3\xA9",
                                                  10));
    EXPECT_EQ(message.substr(35), std::string(reinterpret_cast<const char*>(sha512), 64));
    EXPECT_FALSE(BuildUpdateSignedMessage(UpdateKind::Firmware, std::wstring(1, static_cast<wchar_t>(0xD800)),
                                          sha512, message));
    EXPECT_FALSE(BuildUpdateSignedMessage(static_cast<UpdateKind>(0), L"1", sha512, message));
}

#ifdef TK_E2E_RELEASE_DIR
// scripts/package.sh signs the release with openssl: its message must be ours byte for byte.
TEST(PackagedRelease, SignatureMadeByThePackageScriptVerifies)
{
    const std::wstring folder = std::wstring(TK_E2E_RELEASE_DIR) + L"server/q17x/software/";
    const std::string version = ReadFileBytes(folder + L"version");
    ASSERT_FALSE(version.empty());
    const std::wstring versionText(version.begin(), version.end());
    const std::wstring archive =
        folder + L"Software-" + versionText.substr(0, versionText.find(L'\n')) + L".zip";
    const std::string signature = ReadFileBytes(archive + L".sig");
    KernelHandle file(
        CreateFileW(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    EXPECT_TRUE(VerifyArchiveFile(UpdateKind::Software, versionText, file.get(), signature));
    EXPECT_FALSE(VerifyArchiveFile(UpdateKind::Firmware, versionText, file.get(), signature));
}
#endif
